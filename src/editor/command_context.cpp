#include "editor/command_context.h"

#include "editor/modal_seam.h"
#include "editor/outline.h"
#include "editor/outline_editor.h"
#include "editor/outline_images.h"
#include "editor/outline_tree.h"
#include "editor/qt_text.h"
#include "text/whole_number.h"

namespace kv {

bool CaptionEditInProgress(const CommandContext& ctx) {
    return ctx.tree.IsEditingCaption();
}

bool CommitSelectedGrid(const CommandContext& ctx) {
    return ctx.outline.CommitGridOf(ctx.outline.SelectedNode());
}

QTreeWidgetItem* PlaceVariantNode(const CommandContext& ctx, QTreeWidgetItem* dialogNode, int j,
                                  const QString& caption, int image) {
    if (QTreeWidgetItem* node = VariantNodeAt(dialogNode, j)) {
        SetNodeCaption(node, caption);
        SetNodeImage(node, image);
        return node;
    }
    const TDialogItem* dialog = DialogOfNode(ctx.project, dialogNode);
    for (int k = dialogNode->childCount(); k < j && dialog != nullptr; ++k) {
        AddVariantNode(dialogNode, FromCp1251(dialog->Variant[static_cast<std::size_t>(k)].view()),
                       dialog->HasFollowUp(k) ? kImageVariantWithFollowUp
                                              : kImageVariantWithoutFollowUp);
    }
    return AddVariantNode(dialogNode, caption, image);
}

void RemoveNodeAndSelectNeighbour(const CommandContext& ctx, QTreeWidgetItem* node) {
    QTreeWidgetItem* parent = node->parent();
    const int position =
        parent != nullptr ? parent->indexOfChild(node) : ctx.tree.indexOfTopLevelItem(node);
    ctx.outline.RemoveNode(node);

    const int count = parent != nullptr ? parent->childCount() : ctx.tree.topLevelItemCount();
    auto at = [&](int k) {
        return parent != nullptr ? parent->child(k) : ctx.tree.topLevelItem(k);
    };
    QTreeWidgetItem* next = parent;
    if (position < count)
        next = at(position);
    else if (position > 0)
        next = at(position - 1);
    if (next != nullptr) ctx.outline.SelectNode(next);
}

std::optional<TDialogItem*> AskForDialog(const CommandContext& ctx, const QString& caption,
                                         const QString& prompt) {
    std::optional<QString> answer =
        ctx.seam.InputPrompt(caption, prompt, QString::number(ctx.project.FunctionStart));
    if (!answer) return std::nullopt;
    std::optional<std::int32_t> number = ParseWholeNumber(ToCp1251(*answer));
    if (!number) {
        ShowError(ctx.seam, QStringLiteral("Неправильное число!"));
        return std::nullopt;
    }
    TDialogItem* dialog = ctx.project.FindByFunction(*number);
    if (dialog == nullptr) {
        ShowError(ctx.seam, QStringLiteral("Нет такой функции!"));
        return std::nullopt;
    }
    return dialog;
}

} // namespace kv
