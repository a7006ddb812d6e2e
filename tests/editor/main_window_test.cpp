// The window as the user first meets it: caption, menus, toolbar, context menu, panels.
#include "editor_fixture.h"

#include "editor/property_grids.h"

#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace kv::test {
namespace {

// A menu's entries as "text|shortcut", a separator as "-".
QStringList Entries(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else
            out << a->text() + QLatin1Char('|') + a->shortcut().toString();
    }
    return out;
}

using MainWindowTest = EditorTest;

TEST_F(MainWindowTest, StartsWithCaptionMenusAndHiddenGrids) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Korvanthiel 0.3"));

    QStringList menus;
    for (const QAction* a : window->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("ФАйл"), QStringLiteral("Правка"),
                                  QStringLiteral("Сервис"), QStringLiteral("Справка")}));

    EXPECT_EQ(Entries(window->N1),
              (QStringList{QStringLiteral("Новый проект|"), QStringLiteral("Открыть...|F3"),
                           QStringLiteral("Сохранить|Ctrl+S"),
                           QStringLiteral("Сохранить как...|F2"), QStringLiteral("-"),
                           QStringLiteral("Настройки...|"), QStringLiteral("Выход|")}));
    EXPECT_EQ(Entries(window->N9),
              (QStringList{QStringLiteral("Новый диалог|F4"),
                           QStringLiteral("Диалог следствия|F6"),
                           QStringLiteral("Дублировать диалог|F7"), QStringLiteral("-"),
                           QStringLiteral("Копировать (Ctrl+C)|"),
                           QStringLiteral("Вырезать (Ctrl+X)|"),
                           QStringLiteral("Вставить (Ctrl+V)|")}));
    EXPECT_EQ(Entries(window->N10),
              (QStringList{QStringLiteral("Обновить|F5"), QStringLiteral("Компиляция|F9"),
                           QStringLiteral("Импорт из INI...|"), QStringLiteral("-"),
                           QStringLiteral("Файл скрипта...|"),
                           QStringLiteral("Каталог maps...|")}));
    EXPECT_EQ(Entries(window->N16), (QStringList{QStringLiteral("О программе...|")}));
    EXPECT_EQ(Entries(window->PopupMenu1),
              (QStringList{QStringLiteral("Добавить вариант...|Ins"),
                           QStringLiteral("Добавить вариант с диалогом...|Ctrl+Ins"),
                           QStringLiteral("Добавить к диалогу...|"), QStringLiteral("-"),
                           QStringLiteral("Переименовать...|"),
                           QStringLiteral("Изменить текст|Tab"), QStringLiteral("Удалить|Ctrl+Del"),
                           QStringLiteral("Вверх|Ctrl+Up"), QStringLiteral("Вниз|Ctrl+Down")}));

    // The toolbar, left to right, by name and hint; separators where the layout has them.
    QStringList toolbar;
    for (QAction* a : window->ToolBar1->actions()) {
        QWidget* w = window->ToolBar1->widgetForAction(a);
        toolbar << (a->isSeparator() ? QStringLiteral("-")
                                     : w->objectName() + QLatin1Char('|') + w->toolTip());
    }
    EXPECT_EQ(
        toolbar,
        (QStringList{
            QStringLiteral("ToolButton1|Новый..."), QStringLiteral("ToolButton2|Открыть..."),
            QStringLiteral("ToolButton3|Сохранить"), QStringLiteral("-"),
            QStringLiteral("ToolButton5|Новый диалог (F4)"),
            QStringLiteral("ToolButton6|Новый диалог на базе выбранного ответа (наследование "
                           "подсказок) (F6)"),
            QStringLiteral("ToolButton7|Изменить текст (Tab)"),
            QStringLiteral("ToolButton13|Создать аналогичный диалог (F7)"), QStringLiteral("-"),
            QStringLiteral("ToolButton9|Внести необходимые разрушения в скриптовый файл"),
            QStringLiteral("-"),
            QStringLiteral("ToolButton10|Проставить значения стоимости в тексте (и требуемого "
                           "скилла)"),
            QStringLiteral("ToolButton12|Установить всем последующим вариантам эту "
                           "v-переменную и variable set по возрастанию")}));
    EXPECT_EQ(window->ToolButton12->text(), QStringLiteral("VS"));
    EXPECT_FALSE(window->ToolButton7->isEnabled());
    for (QToolButton* b : {window->ToolButton1, window->ToolButton2, window->ToolButton3,
                           window->ToolButton5, window->ToolButton6, window->ToolButton7,
                           window->ToolButton13, window->ToolButton9, window->ToolButton10})
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();

    // The outline on the left, the panel with the two (hidden) grids on the right.
    EXPECT_EQ(window->Splitter1->widget(0), window->Tree);
    EXPECT_EQ(window->Splitter1->widget(1), window->Panel1);
    EXPECT_FALSE(window->v1->isVisible());
    EXPECT_FALSE(window->v2->isVisible());
    EXPECT_EQ(window->Tree->topLevelItemCount(), 0);
    EXPECT_TRUE(window->StatusBar1->isVisible());
}

TEST_F(MainWindowTest, GridsHaveTheirRowsTitlesAndReadOnlyRows) {
    PropertyGrid* v1 = window->v1;
    PropertyGrid* v2 = window->v2;
    EXPECT_EQ(v1->horizontalHeaderItem(0)->text(), QStringLiteral("Параметр"));
    EXPECT_EQ(v1->horizontalHeaderItem(1)->text(), QStringLiteral("Значение"));
    EXPECT_EQ(v2->horizontalHeaderItem(1)->text(), QStringLiteral("Значение"));

    QStringList keys1, values1;
    for (int r = 1; r <= v1->RowCount(); ++r) {
        keys1 << v1->Key(r);
        values1 << v1->Value(r);
        EXPECT_EQ(v1->IsReadOnly(r), r == 1 || r == 6) << "row " << r;
    }
    EXPECT_EQ(keys1, (QStringList{QStringLiteral("Function"),
                                  QStringLiteral("Escape Variant (0 - 11)"),
                                  QStringLiteral("BeforeScript"), QStringLiteral("AfterScript"),
                                  QStringLiteral("Header"), QStringLiteral("Text [edit window]"),
                                  QStringLiteral("Default Variant (1 - 12)")}));
    EXPECT_EQ(values1, (QStringList{QStringLiteral("0"), QStringLiteral("0"), QString(), QString(),
                                    QString(), QString(), QStringLiteral("0")}));

    ASSERT_EQ(v2->RowCount(), 24);
    EXPECT_EQ(v2->Key(4), QStringLiteral("Cost wood"));
    EXPECT_EQ(v2->Key(10), QStringLiteral("Cost GOLD"));
    EXPECT_EQ(v2->Key(12), QStringLiteral("Reward artefact (0)"));
    EXPECT_EQ(v2->Key(20), QStringLiteral("Reward mythril"));
    EXPECT_EQ(v2->Key(21), QStringLiteral("Variable number (v1...)"));
    EXPECT_EQ(v2->Key(24), QStringLiteral("Condition fail"));
    for (int r = 1; r <= 24; ++r) {
        EXPECT_FALSE(v2->IsReadOnly(r)) << "row " << r;
        EXPECT_EQ(v2->Value(r), r == 24 ? QString() : QStringLiteral("0")) << "row " << r;
    }
}

TEST_F(MainWindowTest, AboutBoxAndMapsPrompt) {
    seam->ExpectMessage();
    window->N12->trigger();
    ASSERT_NE(seam->LastCall(), nullptr);
    EXPECT_EQ(seam->LastCall()->caption, QStringLiteral("О программе"));
    EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Information);
    EXPECT_TRUE(seam->LastCall()->text.contains(QStringLiteral("ERM")));

    // The maps prompt is preset with the folder; Cancel keeps it, OK stores the text as typed
    // (empty too), and the file dialogs start there. The project stays unchanged.
    const QString before = window->MapsFolder();
    seam->ExpectPrompt(std::nullopt);
    window->maps1->trigger();
    EXPECT_EQ(seam->LastCall()->caption, QStringLiteral("Каталог maps"));
    EXPECT_EQ(seam->LastCall()->text, QStringLiteral("Введите путь к папке maps где лежат герои:"));
    EXPECT_EQ(seam->LastCall()->preset, before);
    EXPECT_EQ(window->MapsFolder(), before);

    seam->ExpectPrompt(QStringLiteral("/srv/карты"));
    window->maps1->trigger();
    EXPECT_EQ(window->MapsFolder(), QStringLiteral("/srv/карты"));
    seam->ExpectOpen(std::nullopt);
    window->N3->trigger();
    EXPECT_EQ(seam->LastCall()->file.folder, QStringLiteral("/srv/карты"));

    seam->ExpectPrompt(QString());
    window->maps1->trigger();
    EXPECT_EQ(window->MapsFolder(), QString());
    EXPECT_FALSE(Model().Modified);
}

} // namespace
} // namespace kv::test
