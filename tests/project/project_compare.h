#pragma once

#include "model/project.h"

#include <gtest/gtest.h>

#include <string>

// Expects `loaded` to be what reading back a saved `saved` must give: every field of every
// dialog in the same order, each slot's number being the follow-up the saved slot had, and
// each link leading to the first dialog with that number.
inline void ExpectLoadedAsSaved(const kv::Project& saved, const kv::Project& loaded) {
    EXPECT_EQ(loaded.FunctionStart, saved.FunctionStart);
    EXPECT_EQ(loaded.ScriptFile, saved.ScriptFile);
    ASSERT_EQ(loaded.DialogCount(), saved.DialogCount());
    const kv::TDialogItem* a = saved.Dialogs();
    const kv::TDialogItem* b = loaded.Dialogs();
    for (int position = 0; a && b; a = a->Next, b = b->Next, ++position) {
        SCOPED_TRACE("dialog at " + std::to_string(position));
        EXPECT_EQ(b->FunctionNumber, a->FunctionNumber);
        EXPECT_EQ(b->Hint, a->Hint);
        EXPECT_EQ(b->ScriptBefore, a->ScriptBefore);
        EXPECT_EQ(b->Text, a->Text);
        EXPECT_EQ(b->ScriptAfter, a->ScriptAfter);
        EXPECT_EQ(b->Header, a->Header);
        EXPECT_EQ(b->VariantEscape, a->VariantEscape);
        EXPECT_EQ(b->VariantDefault, a->VariantDefault);
        EXPECT_EQ(b->Variant, a->Variant);
        EXPECT_EQ(b->Variants, a->Variants);
        for (int k = 0; k < kv::kSlotCount; ++k) {
            auto i = static_cast<std::size_t>(k);
            SCOPED_TRACE("slot " + std::to_string(k));
            EXPECT_EQ(b->Function[i], a->FollowUp(k));
            EXPECT_EQ(loaded.IndexOfDialog(b->LinkDialog[i]),
                      saved.IndexOfDialog(saved.FindByFunction(a->FollowUp(k))));
        }
    }
}
