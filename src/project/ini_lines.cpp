#include "project/ini_lines.h"

#include "text/cp1251.h"
#include "text/error.h"

namespace kv {

std::vector<IniSection> SplitIniSections(std::string_view text) {
    using namespace ini_rules;
    std::vector<IniSection> sections;
    // Where the lines of the section found last begin.
    std::size_t linesBegin = 0;
    auto closeLast = [&](std::size_t end) {
        if (!sections.empty()) sections.back().lines = text.substr(linesBegin, end - linesBegin);
    };
    // Only a line with a '[' can be a header, and few lines hold one: the library's scan finds
    // the brackets far faster than a walk over every line would find the lines. A bracket begins
    // a line when only blanks stand between it and a line end or the start of the text.
    for (std::size_t pos = 0;;) {
        const std::size_t bracket = text.find('[', pos);
        if (bracket == std::string_view::npos) break;
        std::size_t lineStart = bracket;
        while (lineStart > 0 && IsBlank(text[lineStart - 1]))
            --lineStart;
        const std::size_t lineEnd = FindLineEnd(text, bracket);
        pos = lineEnd; // no other header on this line
        if (lineStart > 0 && text[lineStart - 1] != '\n' && text[lineStart - 1] != '\r') continue;
        const std::optional<std::string_view> name =
            SectionName(text.substr(lineStart, lineEnd - lineStart));
        if (!name) continue;
        closeLast(lineStart);
        linesBegin = NextLineStart(text, lineEnd);
        sections.push_back({*name, {}});
    }
    closeLast(text.size());
    return sections;
}

std::string IniText(std::string bytes) {
    if (bytes.size() >= 0xFFFFFFFFULL) throw Error("File too large");
    return HasByteOrderMark(bytes) ? UnicodeToCp1251(bytes) : std::move(bytes);
}

} // namespace kv
