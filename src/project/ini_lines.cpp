#include "project/ini_lines.h"

#include "text/cp1251.h"
#include "text/error.h"
#include "text/parallel.h"

#include <algorithm>

namespace kv {

namespace {

// Where the header line that a '[' at `bracket` stands on begins, and its name; nothing when
// the line is no header (something other than blanks before the bracket, or no ']').
struct HeaderLine {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::optional<std::string_view> name;
};
HeaderLine HeaderAt(std::string_view text, std::size_t bracket) {
    using namespace ini_rules;
    HeaderLine line;
    line.begin = bracket;
    while (line.begin > 0 && IsBlank(text[line.begin - 1]))
        --line.begin;
    line.end = FindLineEnd(text, bracket);
    if (line.begin > 0 && text[line.begin - 1] != '\n' && text[line.begin - 1] != '\r') return line;
    line.name = SectionName(text.substr(line.begin, line.end - line.begin));
    return line;
}

// The first header line whose '[' stands at or after `pos`; one without a name when there is
// none. Only a line with a '[' can be a header, and few lines hold one: the library's scan finds
// the brackets far faster than a walk over every line would find the lines.
HeaderLine NextHeader(std::string_view text, std::size_t pos) {
    for (;;) {
        const std::size_t bracket = text.find('[', pos);
        if (bracket == std::string_view::npos) return {text.size(), text.size(), std::nullopt};
        const HeaderLine header = HeaderAt(text, bracket);
        if (header.name) return header;
        pos = header.end; // no other header on this line
    }
}

// The sections of a text whose first byte begins a line.
std::vector<IniSection> SplitPart(std::string_view text) {
    std::vector<IniSection> sections;
    // Where the lines of the section found last begin.
    std::size_t linesBegin = 0;
    auto closeLast = [&](std::size_t end) {
        if (!sections.empty()) sections.back().lines = text.substr(linesBegin, end - linesBegin);
    };
    for (HeaderLine header = NextHeader(text, 0); header.name;
         header = NextHeader(text, header.end)) {
        closeLast(header.begin);
        linesBegin = ini_rules::NextLineStart(text, header.end);
        sections.push_back({*header.name, {}});
    }
    closeLast(text.size());
    return sections;
}

// Where the first header line that begins at or after `from` begins; the text's size when there
// is none.
std::size_t NextHeaderLine(std::string_view text, std::size_t from) {
    HeaderLine header = NextHeader(text, from);
    while (header.name && header.begin < from)
        header = NextHeader(text, header.end);
    return header.begin;
}

// A large text is split in parts side by side, by default none of fewer bytes than this.
constexpr std::size_t kLeastPartBytes = std::size_t{1} << 20;

} // namespace

std::vector<IniSection> SplitIniSections(std::string_view text, std::size_t parts) {
    // Each part but the first begins at a header line, so that its sections are those a split
    // of the whole text finds there.
    if (parts == 0) parts = PartsFor(text.size(), kLeastPartBytes);
    std::vector<std::size_t> starts{0};
    for (std::size_t k = 1; k < parts; ++k) {
        const std::size_t start = NextHeaderLine(text, std::max(starts.back() + 1, text.size() / parts * k));
        if (start >= text.size()) break;
        starts.push_back(start);
    }
    starts.push_back(text.size());
    std::vector<std::vector<IniSection>> found(starts.size() - 1);
    RunParts(found.size(), [&](std::size_t k) {
        found[k] = SplitPart(text.substr(starts[k], starts[k + 1] - starts[k]));
    });
    std::vector<IniSection> sections = std::move(found.front());
    for (std::size_t k = 1; k < found.size(); ++k)
        sections.insert(sections.end(), found[k].begin(), found[k].end());
    return sections;
}

std::string_view IniText(std::string_view bytes, std::string& converted) {
    if (bytes.size() >= 0xFFFFFFFFULL) throw Error("File too large");
    if (!HasByteOrderMark(bytes)) return bytes;
    converted = UnicodeToCp1251(bytes);
    return converted;
}

std::string IniText(std::string bytes) {
    std::string converted;
    if (IniText(bytes, converted).data() == bytes.data()) return bytes;
    return converted;
}

} // namespace kv
