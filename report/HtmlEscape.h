#pragma once

#include <string>
#include <string_view>

// Escaping for text that came from the network (addresses, hosts, paths, content types, query
// cells) on its way into generated HTML. Text the user wrote as HTML never goes through here.
namespace report {

// Safe as element text and inside a double- or single-quoted attribute value: "&", "<", ">",
// '"' and "'" become character references; every other byte is kept.
std::string escapeHtml(std::string_view text);

// For text that is already HTML without tags, such as a page title: its character references
// ("&amp;") stay as they are, but "<", ">", '"' and "'" become references, so the text can
// never open a tag or leave an attribute.
std::string escapeHtmlKeepingEntities(std::string_view text);

}  // namespace report
