#include "erm/recovery.h"

#include "erm/choice_reader.h"
#include "erm/generator.h"
#include "erm/splice.h"
#include "model/flat_table.h"
#include "text/cp1251.h"
#include "text/error.h"
#include "text/file_io.h"
#include "text/paths.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>

namespace kv {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::string_view kMessageStart = "!!IF:M^";

// What may stand between a block's head and its choice code: the script before the message, the
// message, the script after it. Tried in this order, so that a line that reads as a message is
// taken for the message.
struct Between {
    bool before, message, after;
};
constexpr std::array<Between, 7> kBetweens = {{{false, false, false},
                                               {false, true, false},
                                               {false, true, true},
                                               {true, true, false},
                                               {true, true, true},
                                               {true, false, false},
                                               {true, false, true}}};

std::string Function(const TDialogItem& d) {
    return "функция " + std::to_string(d.FunctionNumber) + ": ";
}

class RegionReader {
public:
    RegionReader(std::vector<std::string_view> lines, int firstLine, RecoveredProject& out)
        : lines_(std::move(lines)), firstLine_(firstLine), out_(out), caretAt_(lines_.size() + 1) {
        // The first line from each on that holds a caret: where a message can end.
        caretAt_[lines_.size()] = lines_.size();
        for (std::size_t i = lines_.size(); i-- > 0;)
            caretAt_[i] = lines_[i].find('^') != std::string_view::npos ? i : caretAt_[i + 1];
    }

    bool IsHead(std::size_t i) const {
        if (i + 2 >= lines_.size() || !lines_[i].empty() || !lines_[i + 1].starts_with(';'))
            return false;
        const std::string_view fu = lines_[i + 2];
        if (fu.size() < 6 || !fu.starts_with("!?FU") || !fu.ends_with(';')) return false;
        const std::string_view number = fu.substr(4, fu.size() - 5);
        const std::size_t digits = number.starts_with('-') ? 1 : 0;
        return number.size() > digits && number.size() <= digits + 10 &&
               number.find_first_not_of("0123456789", digits) == std::string_view::npos;
    }

    // Reads every block from line `from` on.
    void ReadBlocks(std::size_t from) {
        std::size_t p = from;
        while (p < lines_.size()) {
            if (IsHead(p)) {
                p = ReadBlock(p);
                continue;
            }
            std::size_t q = p;
            while (q < lines_.size() && !IsHead(q))
                ++q;
            Note(p, NoteKind::HandEdited,
                 q - p == 1 ? "эту строку компиляция не пишет; пропущена"
                            : "строки до " + std::to_string(LineNumber(q)) +
                                  " не начинают диалог (пустая строка, «;подсказка», "
                                  "«!?FUномер;»); пропущены");
            p = q;
        }
    }

    // Links as the compile found them: a follow-up number that names a dialog of the project
    // links to the first dialog of that number; 0 only where the code called function 0.
    void ResolveLinks() {
        FlatTable<std::int32_t, TDialogItem*> first(
            static_cast<std::size_t>(out_.project.DialogCount()));
        for (TDialogItem* d = out_.project.Dialogs(); d; d = d->Next)
            first.TryEmplace(d->FunctionNumber, d);
        auto find = [&](std::int32_t n) -> TDialogItem* {
            TDialogItem* const* found = first.Find(n);
            return found ? *found : nullptr;
        };
        std::size_t position = 0;
        for (TDialogItem* d = out_.project.Dialogs(); d; d = d->Next, ++position) {
            for (std::size_t k = 0; k < kSlotCount; ++k) {
                if (d->LinkDialog[k] != LinkToFunctionZero()) {
                    d->LinkDialog[k] = d->Function[k] != 0 ? find(d->Function[k]) : nullptr;
                } else if (!(d->LinkDialog[k] = find(0))) {
                    Note(heads_[position] + 2, NoteKind::HandEdited,
                         Function(*d) + "ответ " + std::to_string(k + 1) +
                             " вызывает функцию 0, а диалога 0 в скрипте нет; вызов пропущен");
                }
            }
        }
    }

    void Note(std::size_t i, NoteKind kind, std::string text) {
        out_.notes.push_back({LineNumber(i), kind, std::move(text)});
    }
    int LineNumber(std::size_t i) const { return firstLine_ + static_cast<int>(i); }
    std::size_t LineCount() const { return lines_.size(); }

private:
    // The line after a message that starts at line i, or kNone. The message has no caret of its
    // own, so it ends at the first caret after its start, which must close the line with "^;".
    std::size_t MessageEnd(std::size_t i) const {
        if (i >= lines_.size() || !lines_[i].starts_with(kMessageStart)) return kNone;
        std::size_t last = i;
        std::size_t caret = lines_[i].find('^', kMessageStart.size());
        if (caret == std::string_view::npos) {
            last = caretAt_[i + 1];
            if (last >= lines_.size() || last - i >= static_cast<std::size_t>(kTextLineCount))
                return kNone;
            caret = lines_[last].find('^');
        } else if (caret == kMessageStart.size()) {
            return kNone; // the compile writes no empty message
        }
        const std::string_view line = lines_[last];
        return caret + 2 == line.size() && line.back() == ';' ? last + 1 : kNone;
    }

    // Where the choice code starts when the lines from h on are `b`; kNone when they cannot be.
    std::size_t BetweenEnd(const Between& b, std::size_t h) const {
        std::size_t e = h;
        auto script = [&] { return e < lines_.size() && !lines_[e].empty() ? e + 1 : kNone; };
        if (b.before && (e = script()) == kNone) return kNone;
        if (b.message && (e = MessageEnd(e)) == kNone) return kNone;
        if (b.after && (e = script()) == kNone) return kNone;
        return e;
    }

    // Fills the head and the text between it and the choice code; returns the message's last
    // line when its last line held only carets (see ReadBlock), else kNone.
    std::size_t FillBetween(TDialogItem& d, const Between& b, std::size_t p) const {
        d.Hint = lines_[p + 1].substr(1);
        const std::string_view fu = lines_[p + 2];
        d.FunctionNumber = static_cast<std::int32_t>(std::stoll(std::string(fu.substr(4))));
        std::size_t e = p + 3;
        if (b.before) d.ScriptBefore = lines_[e++];
        std::size_t caretsOnly = kNone;
        if (b.message) {
            const std::size_t end = MessageEnd(e);
            for (std::size_t i = e; i < end; ++i) {
                std::string_view text = lines_[i];
                if (i == e) text.remove_prefix(kMessageStart.size());
                if (i + 1 == end) text.remove_suffix(2);
                d.Text[i - e] = text;
            }
            // Empty lines at the end are dropped from a message, so its empty last line held
            // carets only. One caret stands for them, which the compile removes again.
            if (d.Text[end - 1 - e].empty()) {
                d.Text[end - 1 - e] = "^";
                caretsOnly = end - 1;
            }
            e = end;
        }
        if (b.after) d.ScriptAfter = lines_[e];
        return caretsOnly;
    }

    // True when the dialog's block is lines p to q, byte for byte, leaving out the lines in
    // `skipped` (in order); else the first line that differs goes to `differs`.
    bool Regenerates(const TDialogItem& d, std::size_t p, std::size_t q,
                     const std::vector<std::size_t>& skipped = {},
                     std::size_t* differs = nullptr) const {
        std::string block;
        try {
            AppendDialogCode(block, d);
        } catch (const Error&) {
            if (differs) *differs = p + 2;
            return false;
        }
        std::size_t at = 0;
        auto skip = skipped.begin();
        for (std::size_t i = p; i < q; ++i) {
            if (skip != skipped.end() && *skip == i) {
                ++skip;
                continue;
            }
            const std::string_view line = lines_[i];
            if (block.compare(at, 1, "\n") != 0 || block.compare(at + 1, line.size(), line) != 0 ||
                (at + 1 + line.size() < block.size() && block[at + 1 + line.size()] != '\n')) {
                if (differs) *differs = i;
                return false;
            }
            at += 1 + line.size();
        }
        if (at == block.size()) return true;
        if (differs) *differs = q > p ? q - 1 : p;
        return false;
    }

    std::span<const std::string_view> Span(std::size_t from, std::size_t to) const {
        return std::span<const std::string_view>(lines_).subspan(from, to - from);
    }

    // Reads the block whose head is at p; returns the line after it.
    std::size_t ReadBlock(std::size_t p) {
        const std::size_t h = p + 3;
        auto d = std::make_unique<TDialogItem>();
        // As the compile wrote it: one reading of the lines between head and choice code that
        // writes the block again byte for byte, followed by the next block or the end.
        for (const Between& b : kBetweens) {
            const std::size_t e = BetweenEnd(b, h);
            if (e == kNone) continue;
            std::size_t q = e;
            while (q < lines_.size() && !lines_[q].empty())
                ++q;
            if (q < lines_.size() && !IsHead(q)) continue;
            if (q > e && !lines_[e].starts_with("!!VRz13:S^")) continue; // no header line
            *d = TDialogItem{};
            const std::size_t caretsOnly = FillBetween(*d, b, p);
            const ChoiceCode code = ReadChoiceCode(Span(e, q), *d);
            if (!code.unread.empty() || !Regenerates(*d, p, q)) continue;
            NoteWhatIsNotInCode(*d, p, code, caretsOnly);
            Append(std::move(d), p);
            return q;
        }

        // Edited by hand: the block runs to the next head. Its lines are read as far as they are
        // the compile's; the rest is reported, never guessed.
        std::size_t q = h;
        while (q < lines_.size() && !IsHead(q))
            ++q;
        std::size_t g = h;
        while (g < q && !(lines_[g].starts_with("!!VRz13:S^") && lines_[g].ends_with("^;")))
            ++g;
        const Between* best = &kBetweens[0];
        std::size_t bestEnd = h;
        for (const Between& b : kBetweens) {
            const std::size_t e = BetweenEnd(b, h);
            if (e == kNone || e > g || e <= bestEnd) continue;
            best = &b;
            bestEnd = e;
        }
        *d = TDialogItem{};
        const std::size_t caretsOnly = FillBetween(*d, *best, p);
        std::vector<std::size_t> skipped;
        for (std::size_t i = bestEnd; i < g; ++i)
            skipped.push_back(i);
        if (bestEnd < g) {
            Note(bestEnd, NoteKind::HandEdited,
                 Function(*d) +
                     (g - bestEnd == 1
                          ? std::string("эту строку компиляция между заголовком и выбором не "
                                        "пишет; пропущена")
                          : "строки до " + std::to_string(LineNumber(g)) +
                                " компиляция между заголовком и выбором не пишет; пропущены"));
        }
        // The choice code has no empty line: one ends the block, and what follows up to the
        // next head is reported as no block at all.
        std::size_t end = g;
        while (end < q && !lines_[end].empty())
            ++end;
        const ChoiceCode code = ReadChoiceCode(Span(g, end), *d);
        for (std::size_t i : code.unread) {
            skipped.push_back(g + i);
            Note(g + i, NoteKind::HandEdited,
                 Function(*d) + "эту строку компиляция не пишет; пропущена");
        }
        // What is left must be the compile's too: a changed value or order shows here.
        std::size_t differs = p;
        if (!Regenerates(*d, p, end, skipped, &differs)) {
            Note(differs, NoteKind::HandEdited,
                 Function(*d) + "строка не такая, какой её пишет компиляция (изменена "
                                "вручную?); диалог восстановлен по остальным строкам");
        }
        NoteWhatIsNotInCode(*d, p, code, caretsOnly);
        Append(std::move(d), p);
        return end;
    }

    void NoteWhatIsNotInCode(const TDialogItem& d, std::size_t p, const ChoiceCode& code,
                             std::size_t caretsOnly) {
        if (caretsOnly != kNone) {
            Note(caretsOnly, NoteKind::NotInCode,
                 Function(d) + "последняя строка сообщения состояла из одних знаков ^ "
                               "(их в коде нет); восстановлена как ^");
        }
        if (!d.SlotInUse(0)) return;
        if (!code.escapeWritten) {
            Note(p + 2, NoteKind::NotInCode,
                 Function(d) + "ответ при невыполненном требовании (Escape Variant) в коде не "
                               "записан: нет требований, которые могут не выполниться; "
                               "поставлен 0");
        }
        for (int k = 0; k < kSlotCount; ++k) {
            const TVariantData& v = d.Variants[static_cast<std::size_t>(k)];
            if (v.Skill > 0 && v.Slevel == 0) {
                Note(p + 2, NoteKind::NotInCode,
                     Function(d) + "у навыка ответа " + std::to_string(k + 1) +
                         " нет проверки уровня; уровень навыка 0");
            }
        }
    }

    void Append(std::unique_ptr<TDialogItem> d, std::size_t head) {
        if (out_.project.DialogCount() >= kMaxDialogs) {
            throw Error("В скрипте больше " + std::to_string(kMaxDialogs) +
                        " диалогов; восстановление прервано");
        }
        heads_.push_back(head);
        out_.project.AppendDialog(std::move(d));
    }

    std::vector<std::string_view> lines_;
    int firstLine_;
    RecoveredProject& out_;
    std::vector<std::size_t> caretAt_;
    std::vector<std::size_t> heads_; // the head line of every dialog read
};

} // namespace

RecoveredProject RecoverProject(std::string_view script) {
    const std::size_t at = FindMarker(script);
    if (at == std::string_view::npos) {
        throw Error("В скрипте нет строки \";Korvanthiel data begin>>>>>\" в начале строки: "
                    "восстанавливать нечего");
    }
    const int markerLine =
        static_cast<int>(std::count(script.begin(),
                                    script.begin() + static_cast<std::ptrdiff_t>(at) + 1, '\n')) +
        1;
    std::string_view region = script.substr(at + 1 + kMarkerLine.size());

    // The region's lines; its last line ends with CR LF, the others with LF.
    RecoveredProject out;
    bool crLfEnd = region.ends_with("\r\n");
    if (crLfEnd)
        region.remove_suffix(2);
    else if (region.ends_with('\n'))
        region.remove_suffix(1);
    // The most lines the compile writes for the most dialogs a project may hold: a longer region
    // is refused before its lines take memory.
    constexpr std::int64_t kMostLinesPerDialog = 750;
    if (std::count(region.begin(), region.end(), '\n') > kMaxDialogs * kMostLinesPerDialog) {
        throw Error("В скрипте больше " + std::to_string(kMaxDialogs) +
                    " диалогов; восстановление прервано");
    }
    std::vector<std::string_view> lines;
    std::size_t crLines = 0;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(region.find('\n', start), region.size());
        std::string_view line = region.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
            ++crLines;
        }
        lines.push_back(line);
        if (end == region.size()) break;
        start = end + 1;
    }

    const bool warning =
        lines.size() > 1 && lines[1].starts_with(';') && lines[1].ends_with(kWarningText);
    const std::string_view markerRest = lines[0];
    RegionReader reader(std::move(lines), markerLine, out);
    bool anyHead = warning;
    for (std::size_t i = 1; !anyHead && i < reader.LineCount(); ++i)
        anyHead = reader.IsHead(i);
    if (!anyHead) {
        throw Error("Под строкой \";Korvanthiel data begin>>>>>\" нет кода, который пишет "
                    "компиляция: восстанавливать нечего");
    }
    if (!markerRest.empty())
        reader.Note(0, NoteKind::HandEdited, "после строки-метки стоит лишний текст");
    if (!warning)
        reader.Note(1, NoteKind::HandEdited, "под строкой-меткой нет строки предупреждения");
    if (crLines > 0) {
        reader.Note(0, NoteKind::HandEdited,
                    "строки кода оканчиваются на CR LF, а не на LF (файл пересохранён другой "
                    "программой?); прочитаны как LF");
    }
    reader.ReadBlocks(warning ? 2 : 1);
    if (!crLfEnd) {
        reader.Note(reader.LineCount() - 1, NoteKind::HandEdited,
                    "файл не оканчивается на CR LF, как его оканчивает компиляция (обрезан?)");
    }
    reader.ResolveLinks();
    std::stable_sort(out.notes.begin(), out.notes.end(),
                     [](const RecoveryNote& a, const RecoveryNote& b) { return a.line < b.line; });
    return out;
}

RecoveredProject RecoverScriptFile(const std::string& path) {
    const std::string script = ReadWholeFile(path);
    RecoveredProject recovered = RecoverProject(script);
    const std::filesystem::path file = std::filesystem::absolute(PathFromUtf8(path));
    recovered.project.ScriptFile = Utf8ToCp1251(Utf8FromPath(file.lexically_normal()));
    return recovered;
}

} // namespace kv
