#include "text/fixed_string.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace {

using namespace std::string_literals;

// Assigns text to a field of every capacity by every way in, and gives what each field holds.
template <class Field> std::string StoredBy(const std::string& text, int way) {
    kv::PackedTexts store; // outlives the field, as a record's block does
    Field field("old value");
    switch (way) {
    case 0:
        field = text;
        break;
    case 1:
        field.assign(text);
        break;
    case 2: { // made, copied, moved in
        Field made(text);
        Field copied(made);
        field = std::move(copied);
        break;
    }
    case 3: { // copied over a longer text
        Field source(text);
        field = Field(std::string(300, 'z'));
        field = source;
        break;
    }
    case 4: { // packed over the old value, into a block the field does not own
        kv::TextPacker packer;
        packer.Add(field, text);
        packer.Pack(store);
        break;
    }
    case 5: { // packed after another record's texts, whose record goes first: the block they
              // share stays for this one
        kv::TextPacker packer;
        {
            kv::PackedTexts other;
            kv::LineString before;
            packer.Add(before, "another record's text");
            packer.Pack(other);
        }
        packer.Add(field, text);
        packer.Pack(store);
        break;
    }
    case 6: { // left where a reader found it, in memory that the store keeps through its block
        const auto source = std::make_shared<std::string>("=" + std::string(16, '=') + text);
        kv::TextPacker packer;
        packer.KeepWithBlocks(source);
        packer.PutInPlace(field, source->data() + 17, text.size(), true, store);
        break;
    }
    default: { // packed elsewhere and moved out: the field keeps its bytes when the block goes
        kv::PackedTexts gone;
        Field packed;
        kv::TextPacker packer;
        packer.AddStorable(packed, "first block");
        packer.Pack(gone);
        packer.Add(packed, text); // a second block beside the first
        packer.Pack(gone);
        field = std::move(packed);
    }
    }
    EXPECT_EQ(field.size(), field.view().size());
    EXPECT_EQ(field.empty(), field.size() == 0);
    return field.str();
}

TEST(FixedString, CutsToItsCapacityWhateverTheBytes) {
    const std::string bytes = "\xC4\xE0\0\r\xFF"s; // Windows-1251, a zero byte and a CR among them
    const struct {
        std::string text;
        std::size_t caption, hint, line; // bytes kept at capacity 150, 200, 255
    } cases[] = {
        {"", 0, 0, 0},
        {bytes, 5, 5, 5},
        {std::string(150, 'a'), 150, 150, 150},
        {std::string(201, 'b'), 150, 200, 201},
        {std::string(255, 'c'), 150, 200, 255},
        {std::string(260, 'd') + bytes, 150, 200, 255},
    };
    for (const auto& c : cases) {
        for (int way = 0; way < 8; ++way) {
            EXPECT_EQ(StoredBy<kv::CaptionString>(c.text, way), c.text.substr(0, c.caption));
            EXPECT_EQ(StoredBy<kv::HintString>(c.text, way), c.text.substr(0, c.hint));
            EXPECT_EQ(StoredBy<kv::LineString>(c.text, way), c.text.substr(0, c.line)) << way;
        }
    }
}

TEST(FixedString, EqualByItsBytesAloneAndCopiesOwnTheirBytes) {
    const struct {
        std::string a, b;
        bool equal;
    } cases[] = {
        {"", "", true},
        {"abc", "abc", true},
        {"abc", "abd", false},
        {"abc", "ab", false},
        {"a", "a\0"s, false},
        {std::string(151, 'x'), std::string(150, 'x'), true}, // equal once cut
    };
    for (const auto& c : cases) {
        kv::CaptionString a(c.a), b(c.b);
        EXPECT_EQ(a == b, c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(a == std::string_view(c.b).substr(0, 150), c.equal) << c.a << " / " << c.b;
    }

    kv::LineString text("message line");
    kv::LineString copy = text;
    text = text.view().substr(8); // a piece of itself
    EXPECT_EQ(text, "line");
    EXPECT_EQ(copy, "message line");
    kv::LineString moved = std::move(copy);
    EXPECT_EQ(moved, "message line");
    moved.clear();
    EXPECT_TRUE(moved.empty());
}

} // namespace
