#include "export/OutputFile.h"

#include <cerrno>
#include <cstring>

#include <Archive>

namespace exporting {

bool saveText(const std::string& path, std::string_view text, std::string& error) {
    errno = 0;
    try {
        xlib::SaveStream file(path);
        if (file.write(text.data(), text.size()) != text.size())
            XLIB_THROW("Can't write data to stream");
        file.commit();
        return true;
    } catch (const xlib::Exception& e) {
        const int code = errno;
        error = std::string(e.message()) + ": " + path;
        if (code != 0) error += std::string(" (") + std::strerror(code) + ")";
        return false;
    }
}

}  // namespace exporting
