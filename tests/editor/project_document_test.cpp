// The document's history: an undone edit names the place it changed, the dialog itself for one of
// its own values (a header, a message line) and the answer for one of an answer's.
#include "editor_fixture.h"

#include "editor/project_document.h"
#include "model/project_edits.h"

#include <vector>

namespace kv::test {
namespace {

TEST(ProjectDocument, AnUndoneValueNamesTheDialogOrTheAnswerItChanged) {
    const struct {
        FieldRef ref;
        FieldValue value;
        Place focus;
    } cases[] = {
        {{FieldId::Header, 1, 0}, FieldValue::Text("Заголовок"), {1, -1}},
        {{FieldId::Text, 1, 3}, FieldValue::Text("строка"), {1, -1}},
        {{FieldId::Variable, 1, 2}, FieldValue::Number(7), {1, 2}},
        {{FieldId::Variant, 0, 1}, FieldValue::Text("Уйти"), {0, 1}},
    };
    for (const auto& c : cases) {
        ProjectDocument doc;
        AddDialog(doc.project(), 1000, "Первый");
        AddDialog(doc.project(), 1001, "Второй");
        std::vector<Place> focus;
        QObject::connect(&doc, &ProjectDocument::Edited, [&](Place p) { focus.push_back(p); });
        ASSERT_TRUE(doc.Push(ChangeValues({{c.ref, c.value}})));
        doc.undoStack().undo();
        EXPECT_EQ(focus, (std::vector<Place>{c.focus, c.focus})) << static_cast<int>(c.ref.field);
    }
}

} // namespace
} // namespace kv::test
