#include "project/tlk_file.h"

#include "text/error.h"
#include "text/byte_scan.h"
#include "text/file_io.h"
#include "text/parallel.h"
#include "text/whole_number.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

namespace kv {
namespace {

#if defined(_MSC_VER)
#define KV_NOINLINE __declspec(noinline)
#else
#define KV_NOINLINE __attribute__((noinline))
#endif

constexpr char kEndOfFile = 26; // Ctrl+Z ends a text file wherever it stands
constexpr std::size_t kMaxNumberChars = 32;

// The layout of one answer's group of lines, in file order (see WalkBlock).
template <class Slot, class Visitor> void WalkSlot(Slot& slot, Visitor& v) {
    v.Number(slot.Skill);
    v.Number(slot.Slevel);
    for (int r = 0; r < kResourceCount; ++r)
        v.Number(slot.Cost(r));
    v.Number(slot.Artefact);
    for (int r = 0; r < kResourceCount; ++r)
        v.Number(slot.Reward(r));
    v.Number(slot.Variable);
    v.Number(slot.DVariable);
    v.Number(slot.SVariable);
    v.Text(slot.FailOn); // last in the group, although it is the third field
}

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
    v.Slots(d);
    for (int k = 0; k < kSlotCount; ++k)
        v.FollowUp(d, k);
}

// Lines go into a buffer of its own and reach the sink in large pieces: a project is millions
// of short lines, and a call into the sink for each of them costs more than the rest of the
// save together. The sink is the file itself on a save, so the file never stands whole in
// memory beside the project.
class Writer {
public:
    explicit Writer(const ByteSink& out) : out_(out) {}
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void Number(std::int64_t value) {
        Room(kNumberRoom);
        end_ = std::to_chars(end_, buffer_ + sizeof buffer_, value).ptr;
        EndLine();
    }
    void Text(std::string_view text) {
        if (text.size() > sizeof buffer_ / 2) { // a long script path, never a field
            Flush();
            out_(text);
        } else {
            Room(text.size() + 2);
            end_ = std::copy_n(text.data(), text.size(), end_);
        }
        EndLine();
    }
    void NumberPair(std::uint8_t first, std::uint8_t second) {
        Room(kNumberRoom);
        end_ = std::to_chars(end_, buffer_ + sizeof buffer_, first).ptr;
        *end_++ = ' ';
        end_ = std::to_chars(end_, buffer_ + sizeof buffer_, second).ptr;
        EndLine();
    }
    void Slots(const TDialogItem& d) {
        for (const TVariantData& slot : d.Variants)
            WalkSlot(slot, *this);
    }
    // The link's current number wins over the stored one, so a renumbered target is followed.
    void FollowUp(const TDialogItem& d, int k) { Number(d.FollowUp(k)); }
    // Hands what is still in the buffer to the sink.
    void Flush() {
        if (end_ != buffer_)
            out_(std::string_view(buffer_, static_cast<std::size_t>(end_ - buffer_)));
        end_ = buffer_;
    }

private:
    static constexpr std::size_t kNumberRoom = 32; // two numbers, a space and the line end

    void Room(std::size_t bytes) {
        if (static_cast<std::size_t>(buffer_ + sizeof buffer_ - end_) < bytes) Flush();
    }
    void EndLine() {
        Room(2);
        *end_++ = '\r';
        *end_++ = '\n';
    }

    const ByteSink& out_;
    char buffer_[1 << 16];
    char* end_ = buffer_;
};

// The lines a save writes for a blank answer.
std::string BlankSlotLines() {
    std::string lines;
    const ByteSink sink = [&lines](std::string_view piece) { lines.append(piece); };
    auto writer = std::make_unique<Writer>(sink); // its buffer is large for the stack
    const TVariantData blank;
    WalkSlot(blank, *writer);
    writer->Flush();
    return lines;
}

// Reads values from the bytes of a project file the way a text file is read value by value: a
// number may pass over blank lines, a text takes one line, and the end of the data yields 0 or
// an empty text instead of an error.
class Reader {
public:
    // `data`: the bytes of the file up to its end-of-file byte; read from `from` on.
    Reader(std::string_view data, std::size_t from) : data_(data), pos_(from) {}

    bool AtEnd() const { return pos_ >= data_.size(); }
    std::size_t Position() const { return pos_; }

    template <class Field> void Number(Field& field) {
        field = static_cast<Field>(NextNumber()); // a narrower field keeps the low bits
        nonZero_ |= field != 0;
    }
    // The texts of a dialog, its answers' too, go into the packer's block when the dialog ends
    // (EndDialog), after its answers.
    template <std::size_t Capacity> void Text(FixedString<Capacity>& field) {
        if (data_.size() - pos_ >= 2 && data_[pos_] == '\r' && data_[pos_ + 1] == '\n') {
            // Most texts of a dialog are empty.
            pos_ += 2;
            field.clear();
        } else {
            const std::string_view text = ReadText();
            nonZero_ |= !text.empty();
            packer_.AddStorable(field, text);
        }
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
    // Every field of all twelve answers is read into blank records in the block the dialog
    // keeps, whose blank ones at the end are given back: a blank answer as a save writes it
    // (most of the answers of a project) is passed over in one comparison instead of read line
    // by line.
    void Slots(TDialogItem& d) {
        static const std::string blankSlot = BlankSlotLines();
        TVariantData* slots = d.Variants.FillInPlace(packer_, d.Packed);
        std::size_t used = 0; // one past the last slot that is not blank
        for (std::size_t k = 0; k < kSlotCount; ++k) {
            if (data_.size() - pos_ >= blankSlot.size() &&
                std::memcmp(data_.data() + pos_, blankSlot.data(), blankSlot.size()) == 0) {
                pos_ += blankSlot.size();
                continue;
            }
            nonZero_ = false;
            WalkSlot(slots[k], *this);
            if (nonZero_) used = k + 1;
        }
        d.Variants.EndFill(used, packer_);
    }
    // The dialog's texts go into the block it keeps, after its answers.
    void EndDialog(TDialogItem& d) { packer_.Pack(d.Packed); }
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

    // Nearly every number line a save writes is up to nine plain digits and CR LF, and most of
    // them a lone 0: they are read here, in a few instructions. Anything else takes the general
    // way, out of line.
    std::int32_t NextNumber() {
        const char* const begin = data_.data() + pos_;
        const char* const end = data_.data() + data_.size();
        if (end - begin >= 3 && begin[0] == '0' && begin[1] == '\r' && begin[2] == '\n') {
            pos_ += 3;
            return 0;
        }
        const char* p = begin;
        const char* const stop = end - begin > 9 ? begin + 9 : end;
        std::int32_t plain = 0;
        while (p < stop && *p >= '0' && *p <= '9')
            plain = plain * 10 + (*p++ - '0');
        if (p != begin && end - p >= 2 && p[0] == '\r' && p[1] == '\n') [[likely]] {
            pos_ += static_cast<std::size_t>(p - begin) + 2;
            return plain;
        }
        return OtherNumber();
    }

    // A number line of any other form, and the rest of its line. Kept out of line, so that the
    // short way above needs no registers saved and stays a few instructions.
    KV_NOINLINE std::int32_t OtherNumber() {
        const std::int32_t value = ReadNumber();
        SkipLine();
        return value;
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
        auto value = ParseWholeNumber(data_.substr(start, pos_ - start));
        if (!value) throw ProjectFileError("Invalid numeric input", LineAt(start));
        return *value;
    }

    // The rest of the line without its end (LF, or CR LF); then moves past the line end.
    std::string_view ReadText() {
        const std::size_t lineFeed = byte_scan::FindFirstOf<'\n'>(data_, pos_);
        std::size_t end = lineFeed;
        if (lineFeed < data_.size() && end > pos_ && data_[end - 1] == '\r') --end;
        std::string_view text = data_.substr(pos_, end - pos_);
        pos_ = std::min(lineFeed + 1, data_.size());
        return text;
    }

    // The 1-based line of a position; counted only when an error needs it.
    std::int64_t LineAt(std::size_t pos) const {
        return 1 + std::count(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(pos), '\n');
    }

    void SkipLine() { pos_ = std::min(byte_scan::FindFirstOf<'\n'>(data_, pos_) + 1, data_.size()); }

    std::string_view data_;
    std::size_t pos_;
    TextPacker packer_;
    bool nonZero_ = false; // a number or text read since it was last cleared is not 0 or empty
};

// Dialogs are counted as they are read, not lines: a record costs little more than what it
// holds, so the memory spent before a refusal is bounded by the file and the limit.
[[noreturn]] void TooMany() {
    throw ProjectFileError("Слишком много диалогов в файле проекта (не больше " +
                           FormatNumber(kMaxDialogs) + ")");
}

// The dialog blocks of a large file are read in parts side by side, a few for each processor,
// none of fewer bytes than this. A part begins where a save puts a block: two project lines, then
// 336 lines per dialog.
constexpr std::size_t kLeastPartBytes = std::size_t{1} << 20;
constexpr std::size_t kHeaderLines = 2;
constexpr std::size_t kBlockLines = 336;

// The bytes of the file that hold the project (up to its end-of-file byte), split evenly into
// shares, with the line feeds of each share: one share for each part to read.
struct Shares {
    std::string_view data;
    std::vector<std::size_t> begin;     // where each share begins in `data`
    std::vector<std::size_t> lineFeeds; // how many line feeds each holds
};

// The shares are counted side by side; one part alone needs no count.
Shares ScanShares(std::string_view bytes, std::size_t parts) {
    Shares shares;
    if (parts < 2) {
        shares.data = bytes.substr(0, bytes.find(kEndOfFile));
        shares.begin = {0};
        return shares;
    }
    auto begin = [&](std::size_t k) { return bytes.size() / parts * k; };
    std::vector<byte_scan::Counted> counted(parts);
    RunParts(parts, [&](std::size_t k) {
        const std::size_t end = k + 1 < parts ? begin(k + 1) : bytes.size();
        counted[k] = byte_scan::CountBefore(bytes.substr(begin(k), end - begin(k)), '\n', kEndOfFile);
    });
    shares.data = bytes;
    for (std::size_t k = 0; k < parts; ++k) {
        shares.begin.push_back(begin(k));
        shares.lineFeeds.push_back(counted[k].count);
        if (counted[k].stop != std::string_view::npos) {
            shares.data = bytes.substr(0, begin(k) + counted[k].stop);
            break;
        }
    }
    return shares;
}

// Where the parts begin: the first block, after the project lines at `first`; then, for each
// further share, the first block that begins in it, as a save lays the blocks out.
std::vector<std::size_t> PartStarts(const Shares& shares, std::size_t first) {
    std::vector<std::size_t> starts{first};
    const std::string_view data = shares.data;
    std::size_t before = 0; // line feeds before the share
    for (std::size_t k = 1; k < shares.begin.size(); ++k) {
        before += shares.lineFeeds[k - 1];
        // The first block that begins after the share's first byte, and how many line feeds on
        // the line before it ends.
        const std::size_t block =
            before < kHeaderLines ? 0 : (before - kHeaderLines) / kBlockLines + 1;
        std::size_t wanted = kHeaderLines + block * kBlockLines - before;
        std::size_t pos = shares.begin[k];
        for (; wanted > 0; --wanted) {
            const std::size_t lineFeed = data.find('\n', pos);
            if (lineFeed == std::string_view::npos) break;
            pos = lineFeed + 1;
        }
        if (wanted == 0 && pos > starts.back() && pos < data.size()) starts.push_back(pos);
    }
    return starts;
}

// One part of the dialog blocks, read on a thread of its own into a project of its own.
struct BlockRun {
    std::size_t begin = 0; // where its first block begins
    std::size_t stop = 0;  // where the next part's first block begins, or the end of the data
    Project dialogs;
    std::vector<TDialogItem*> inOrder; // its records, for the link rebuild
    std::exception_ptr error; // what stopped it before `stop`
    bool tooMany = false;     // it stopped at kMaxDialogs dialogs with more to read
    bool reachedStop = false; // its last block ended exactly at `stop`
};

// Reads the blocks of part `k` up to where the next part begins. A file laid out otherwise than
// a save lays it out (blank lines a number passes over, say) may have put the start of the next
// part inside a block: this part then reads on to the end of the data, and every part after it
// is abandoned. So the dialogs are always those of one reading from the start to the end.
void ReadRun(std::string_view data, BlockRun& run, std::size_t k,
             std::atomic<std::size_t>& abandonFrom) {
    try {
        Reader reader(data, run.begin);
        bool toStop = true;
        while (!reader.AtEnd()) {
            if (abandonFrom.load(std::memory_order_relaxed) <= k) return;
            if (run.inOrder.size() >= kMaxDialogs) {
                run.tooMany = true;
                return;
            }
            auto dialog = std::make_unique<TDialogItem>();
            WalkBlock(*dialog, reader);
            reader.EndDialog(*dialog);
            run.inOrder.push_back(run.dialogs.AppendDialog(std::move(dialog)));
            if (toStop && reader.Position() >= run.stop) {
                if (reader.Position() == run.stop) {
                    run.reachedStop = true;
                    return;
                }
                toStop = false;
                std::size_t abandoned = abandonFrom.load();
                while (abandoned > k + 1 && !abandonFrom.compare_exchange_weak(abandoned, k + 1)) {
                }
            }
        }
    } catch (...) {
        run.error = std::current_exception();
    }
}

void WriteProject(const Project& project, const ByteSink& sink) {
    Writer writer(sink);
    writer.Number(project.FunctionStart);
    writer.Text(project.ScriptFile);
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next)
        WalkBlock(*d, writer);
    writer.Flush();
}

} // namespace

std::string SerializeProject(const Project& project) {
    std::string out;
    out.reserve(64 + project.ScriptFile.size() +
                static_cast<std::size_t>(project.DialogCount()) * 1200);
    WriteProject(project, [&out](std::string_view piece) { out.append(piece); });
    return out;
}

ProjectFileError::ProjectFileError(const std::string& text, std::int64_t line)
    : Error(text), line_(line) {}

Project ParseProject(std::string_view bytes, std::size_t parts) {
    if (parts == 0) parts = PartsFor(bytes.size(), kLeastPartBytes);
    const Shares shares = ScanShares(bytes, parts);
    Project project;
    Reader header(shares.data, 0);
    header.Number(project.FunctionStart);
    header.Text(project.ScriptFile);

    const std::vector<std::size_t> starts = PartStarts(shares, header.Position());
    std::vector<BlockRun> runs(starts.size());
    for (std::size_t k = 0; k < runs.size(); ++k) {
        runs[k].begin = starts[k];
        runs[k].stop = k + 1 < starts.size() ? starts[k + 1] : shares.data.size();
    }
    std::atomic<std::size_t> abandonFrom = runs.size();
    RunParts(runs.size(), [&](std::size_t k) { ReadRun(shares.data, runs[k], k, abandonFrom); });

    // The parts in file order, as far as each took over where the one before it stopped; the
    // first failure in that order is the file's, as a reading in one piece would meet it.
    std::vector<TDialogItem*> dialogs; // in list order, for the link rebuild
    for (BlockRun& run : runs) {
        const std::size_t total = dialogs.size() + run.inOrder.size();
        if ((run.error || run.tooMany) && total >= kMaxDialogs) TooMany();
        if (run.error) std::rethrow_exception(run.error);
        if (total > kMaxDialogs) TooMany();
        project.AppendDialogs(std::move(run.dialogs));
        dialogs.insert(dialogs.end(), run.inOrder.begin(), run.inOrder.end());
        if (!run.reachedStop) break;
    }
    project.RebuildLinks(dialogs);
    project.Modified = false;
    return project;
}

Project LoadProject(const std::string& path) {
    const FileBytes bytes = ReadFileBytes(path);
    Project project;
    try {
        project = ParseProject(bytes.view());
    } catch (const ProjectFileError& e) {
        throw Error(CannotReadText(path, e.line(), e.what()));
    }
    project.ProjectFileName = path;
    return project;
}

void SaveProject(Project& project, const std::string& path) {
    ReplaceFileSafely(path, [&project](const ByteSink& write) { WriteProject(project, write); });
    project.Modified = false; // only once the file is safely in place
}

} // namespace kv
