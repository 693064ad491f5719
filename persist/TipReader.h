#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace persist {

// Reads the tips of the day, one line each, from a plain text file, continuing where the last
// reader stopped: the "Tip" settings keep the byte offset of the next tip and the file's time
// stamp, and a file with another time stamp starts again at its first tip. Lines whose first
// character is a tab, a line feed, a space or ";" are not tips. User-interface thread only.
class TipReader {
public:
    static constexpr std::string_view kFileName = "tips.txt";
    static constexpr std::string_view kMissingText =
        "Tips file does not exist in the prescribed directory";
    static constexpr std::string_view kTroubleText = "Trouble reading the tips file";
    // One read takes at most kBufferSize - 1 characters; a longer line goes on in the next read.
    static constexpr int kBufferSize = 1000;

    // Opens the file and moves to the stored offset (the start, when the time stamp changed,
    // which is then stored).
    explicit TipReader(const std::string& path);
    // Stores the offset of the next tip when the file was open.
    ~TipReader();
    TipReader(const TipReader&) = delete;
    TipReader& operator=(const TipReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // The next tip, going back to the start at the end of the file. Empty when the file is not
    // open or holds no tip at all: it is read through once at most.
    std::string next();

    // True once after a move in the file failed (the stored offset, or back to the start); the
    // caller tells the user kTroubleText.
    bool takeTrouble();

    // The file's modification time in the C library's date-and-time form, without the line end
    // ("Wed Jun 30 21:49:08 1993"); empty when the file cannot be examined.
    static std::string fileTimeStamp(const std::string& path);

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::unique_ptr<std::FILE, Closer> file_;
    bool trouble_ = false;
};

}  // namespace persist
