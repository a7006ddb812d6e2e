#pragma once

#include "model/project.h"

#include <cstdint>
#include <limits>
#include <string>

// The small project of the format description: one dialog with two answers.
inline kv::Project WorkedExampleProject() {
    kv::Project p;
    p.FunctionStart = 1000;
    p.ScriptFile = "C:\\maps\\intro.erm";
    kv::TDialogItem* d = p.AppendDialog();
    d->FunctionNumber = 1000;
    d->Hint = "1000 {}";
    d->Text[0] = "Hello";
    d->Header = "Choice";
    d->VariantEscape = 0;
    d->VariantDefault = 1;
    d->Variant[0] = "Yes";
    d->Variants[0].Gold = 500;
    d->Function[0] = 1001;
    d->Variant[1] = "No";
    return p;
}

// A text of the given length made of bytes that vary with the seed: Cyrillic letters, Latin
// letters, blanks (also at the ends), tabs and ERM punctuation, never a line end or byte 26.
inline std::string VariedText(int seed, std::size_t length) {
    static const std::string alphabet =
        "\xC0\xE0\xDF\xFF\xA8\xB8 \t^&;:!?=/<>{}$0x9aZ\xB9\x97\x98\x01\x1F";
    std::string text;
    std::uint32_t state = static_cast<std::uint32_t>(seed) * 2654435761u + 1;
    for (std::size_t i = 0; i < length; ++i) {
        state = state * 1664525u + 1013904223u;
        text += alphabet[(state >> 16) % alphabet.size()];
    }
    return text;
}

// Three dialogs with every field set to a value of its own, including the extremes of every
// width, texts at full capacity, links (one to a renumbered dialog, one to itself), duplicate
// function numbers and bare numbers outside the project.
inline kv::Project VariedProject() {
    kv::Project p;
    p.FunctionStart = -7;
    p.ScriptFile = VariedText(1, 300); // no capacity: kept whole
    kv::TDialogItem* first = p.AppendDialog();
    kv::TDialogItem* second = p.AppendDialog();
    kv::TDialogItem* third = p.AppendDialog();
    int seed = 10;
    for (kv::TDialogItem* d : {first, second, third}) {
        d->FunctionNumber = 1000 + seed;
        d->Hint = VariedText(seed++, 200);
        d->ScriptBefore = VariedText(seed++, 255);
        for (auto& line : d->Text) {
            line = VariedText(seed, static_cast<std::size_t>(seed % 256));
            ++seed;
        }
        d->ScriptAfter = VariedText(seed++, 17);
        d->Header = VariedText(seed++, 200);
        d->VariantEscape = static_cast<std::uint8_t>(seed % 256);
        d->VariantDefault = static_cast<std::uint8_t>((seed * 7) % 256);
        for (int k = 0; k < kv::kSlotCount; ++k) {
            auto i = static_cast<std::size_t>(k);
            d->Variant[i] = VariedText(seed++, 150 - static_cast<std::size_t>(k));
            d->Function[i] = seed * 1000 - 500000;
            kv::TVariantData& v = d->Variants[i];
            v.Skill = static_cast<std::uint8_t>(seed * 3);
            v.Slevel = static_cast<std::uint8_t>(seed * 5);
            v.FailOn = VariedText(seed++, 150);
            for (int r = 0; r < kv::kResourceCount; ++r) {
                v.Cost(r) = static_cast<std::uint16_t>(seed * 131 + r);
                v.Reward(r) = static_cast<std::uint16_t>(seed * 257 + r);
            }
            v.Artefact = static_cast<std::uint16_t>(seed * 11);
            v.Variable = seed;
            v.DVariable = -seed * 1000;
            v.SVariable = seed * 100000;
        }
    }
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    first->Variants[0].Skill = 255;
    first->Variants[0].Wood = 65535;
    first->Variants[0].giveMyth = 0;
    first->Variants[0].Variable = kMin;
    first->Variants[0].SVariable = kMax;
    first->VariantEscape = 255;

    second->FunctionNumber = 1005;
    third->FunctionNumber = 1005; // a duplicate: every 1005 leads to `second`

    // A link made while the target was 1001, then the target renumbered: the current number
    // counts, not the stale Function value.
    first->LinkDialog[0] = second;
    first->Function[0] = 1001;
    first->LinkDialog[1] = third; // saved as 1005, so it comes back linked to `second`
    first->Function[2] = 1005;
    second->LinkDialog[3] = second;
    third->Function[4] = 0;
    third->Function[5] = kMax;
    third->Function[6] = kMin;
    return p;
}
