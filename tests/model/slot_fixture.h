#pragma once

#include "model/dialog_item.h"

#include <gtest/gtest.h>

#include <string>

// Fills slot k with values that all derive from one tag, so that a test can tell after a shift
// whether the four parts of a slot stayed together.
inline void FillSlot(kv::TDialogItem& d, int k, int tag, kv::TDialogItem* link = nullptr) {
    auto i = static_cast<std::size_t>(k);
    d.Variant[i] = "answer " + std::to_string(tag);
    d.Function[i] = 2000 + tag;
    d.LinkDialog[i] = link;
    kv::TVariantData& v = d.Variants[i];
    v.Skill = static_cast<std::uint8_t>(tag);
    v.FailOn = "&v" + std::to_string(tag) + "=1";
    v.Gold = static_cast<std::uint16_t>(100 * tag);
    v.giveMyth = static_cast<std::uint16_t>(tag);
    v.SVariable = -tag;
}

inline void ExpectSlot(const kv::TDialogItem& d, int k, int tag, kv::TDialogItem* link = nullptr) {
    SCOPED_TRACE("slot " + std::to_string(k) + ", tag " + std::to_string(tag));
    auto i = static_cast<std::size_t>(k);
    EXPECT_EQ(d.Variant[i], "answer " + std::to_string(tag));
    EXPECT_EQ(d.Function[i], 2000 + tag);
    EXPECT_EQ(d.LinkDialog[i], link);
    const kv::TVariantData& v = d.Variants[i];
    EXPECT_EQ(v.Skill, tag);
    EXPECT_EQ(v.FailOn, "&v" + std::to_string(tag) + "=1");
    EXPECT_EQ(v.Gold, 100 * tag);
    EXPECT_EQ(v.giveMyth, tag);
    EXPECT_EQ(v.SVariable, -tag);
}

inline void ExpectBlankSlot(const kv::TDialogItem& d, int k) {
    SCOPED_TRACE("blank slot " + std::to_string(k));
    auto i = static_cast<std::size_t>(k);
    EXPECT_FALSE(d.SlotInUse(k));
    EXPECT_TRUE(d.Variant[i].empty());
    EXPECT_EQ(d.Function[i], 0);
    EXPECT_EQ(d.LinkDialog[i], nullptr);
    EXPECT_EQ(d.Variants[i], kv::TVariantData{});
}
