#include "project/tlk_file.h"

#include "text/error.h"
#include "text/file_io.h"
#include "text/whole_number.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace kv {
namespace {

constexpr char kEndOfFile = 26; // Ctrl+Z ends a text file wherever it stands
constexpr std::size_t kMaxNumberChars = 32;

// The layout of one dialog block, in file order. The writer and the reader both walk it, so
// the two can never disagree on the order of the 336 lines.
template <class Dialog, class Visitor> void WalkBlock(Dialog& d, Visitor& v) {
    v.Number(d.FunctionNumber);
    v.Text(d.Hint);
    v.Text(d.ScriptBefore);
    for (auto& line : d.Text)
        v.Text(line);
    v.Text(d.ScriptAfter);
    v.Text(d.Header);
    v.NumberPair(d.VariantEscape, d.VariantDefault);
    for (auto& caption : d.Variant)
        v.Text(caption);
    for (auto& slot : d.Variants) {
        v.Number(slot.Skill);
        v.Number(slot.Slevel);
        for (auto cost : TVariantData::kCostFields)
            v.Number(slot.*cost);
        v.Number(slot.Artefact);
        for (auto reward : TVariantData::kRewardFields)
            v.Number(slot.*reward);
        v.Number(slot.Variable);
        v.Number(slot.DVariable);
        v.Number(slot.SVariable);
        v.Text(slot.FailOn); // last in the group, although it is the third field
    }
    for (int k = 0; k < kSlotCount; ++k)
        v.FollowUp(d, k);
}

class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}

    void Number(std::int64_t value) {
        char buffer[24];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        out_.append(buffer, static_cast<std::size_t>(result.ptr - buffer));
        EndLine();
    }
    void Text(std::string_view text) {
        out_.append(text);
        EndLine();
    }
    void NumberPair(std::uint8_t first, std::uint8_t second) {
        char buffer[8];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, first);
        *result.ptr++ = ' ';
        result = std::to_chars(result.ptr, buffer + sizeof buffer, second);
        out_.append(buffer, static_cast<std::size_t>(result.ptr - buffer));
        EndLine();
    }
    // The link's current number wins over the stored one, so a renumbered target is followed.
    void FollowUp(const TDialogItem& d, int k) { Number(d.FollowUp(k)); }

private:
    void EndLine() { out_.append("\r\n", 2); }
    std::string& out_;
};

// Reads values from the bytes of a project file the way a text file is read value by value: a
// number may pass over blank lines, a text takes one line, and the end of the data yields 0 or
// an empty text instead of an error.
class Reader {
public:
    explicit Reader(std::string_view bytes) : data_(bytes.substr(0, bytes.find(kEndOfFile))) {}

    bool AtEnd() const { return pos_ >= data_.size(); }

    template <class Field> void Number(Field& field) {
        field = static_cast<Field>(ReadNumber()); // a narrower field keeps the low bits
        SkipLine();
    }
    template <std::size_t Capacity> void Text(FixedString<Capacity>& field) {
        field = ReadText(); // cut to the field's capacity
    }
    void Text(std::string& field) { field = std::string(ReadText()); }

    // "Escape Default" on one line. A line that ends after the first number (also with only
    // blanks after it, or at LF alone) leaves the second at 0 instead of reading on into the
    // next line.
    void NumberPair(std::uint8_t& first, std::uint8_t& second) {
        first = static_cast<std::uint8_t>(ReadNumber());
        second = LineEndsHere() ? 0 : static_cast<std::uint8_t>(ReadNumber());
        SkipLine();
    }
    void FollowUp(TDialogItem& d, int k) { Number(d.Function[static_cast<std::size_t>(k)]); }

private:
    static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

    // True when nothing but blanks stands between here and the end of the line or the data.
    bool LineEndsHere() const {
        for (std::size_t p = pos_; p < data_.size(); ++p) {
            if (data_[p] == '\r' || data_[p] == '\n') return true;
            if (!IsBlank(data_[p])) return false;
        }
        return true;
    }

    // Skips blanks and line ends, then converts at most 32 characters up to the next blank.
    std::int32_t ReadNumber() {
        while (pos_ < data_.size() && IsBlank(data_[pos_]))
            ++pos_;
        std::size_t start = pos_;
        while (pos_ < data_.size() && pos_ - start < kMaxNumberChars && !IsBlank(data_[pos_])) {
            ++pos_;
        }
        if (pos_ == start) return 0; // the end of the data reads as 0
        std::string_view token = data_.substr(start, pos_ - start);
        if (token.size() <= 9) {
            // Nearly every number a save writes: plain digits that cannot overflow.
            std::int32_t plain = 0;
            std::size_t i = 0;
            while (i < token.size() && token[i] >= '0' && token[i] <= '9') {
                plain = plain * 10 + (token[i++] - '0');
            }
            if (i == token.size()) return plain;
        }
        auto value = ParseWholeNumber(token);
        if (!value) throw Error("Invalid numeric input");
        return *value;
    }

    // The rest of the line without its end (LF, or CR LF); then moves past the line end.
    std::string_view ReadText() {
        std::size_t end = data_.find('\n', pos_);
        std::size_t next = end == std::string_view::npos ? data_.size() : end + 1;
        if (end == std::string_view::npos)
            end = data_.size();
        else if (end > pos_ && data_[end - 1] == '\r')
            --end;
        std::string_view text = data_.substr(pos_, end - pos_);
        pos_ = next;
        return text;
    }

    void SkipLine() {
        std::size_t end = data_.find('\n', pos_);
        pos_ = end == std::string_view::npos ? data_.size() : end + 1;
    }

    std::string_view data_;
    std::size_t pos_ = 0;
};

} // namespace

std::string SerializeProject(const Project& project) {
    std::string out;
    out.reserve(64 + project.ScriptFile.size() +
                static_cast<std::size_t>(project.DialogCount()) * 1200);
    Writer writer(out);
    writer.Number(project.FunctionStart);
    writer.Text(project.ScriptFile);
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next)
        WalkBlock(*d, writer);
    return out;
}

Project ParseProject(std::string_view bytes) {
    Project project;
    Reader reader(bytes);
    reader.Number(project.FunctionStart);
    reader.Text(project.ScriptFile);
    while (!reader.AtEnd()) {
        auto dialog = std::make_unique<TDialogItem>();
        WalkBlock(*dialog, reader);
        project.AppendDialog(std::move(dialog));
    }
    project.RebuildLinks();
    project.Modified = false;
    return project;
}

Project LoadProject(const std::string& path) {
    Project project = ParseProject(ReadWholeFile(path));
    project.ProjectFileName = path;
    return project;
}

void SaveProject(Project& project, const std::string& path) {
    ReplaceFileSafely(path, SerializeProject(project));
    project.Modified = false; // only once the file is safely in place
}

} // namespace kv
