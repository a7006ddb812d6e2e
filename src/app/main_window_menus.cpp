#include "app/main_window.h"

#include "app/toolbar_icons.h"
#include "editor/qt_text.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace kv {

namespace {

QAction* AddItem(QMenu* menu, const char* name, const QString& text,
                 const QKeySequence& shortcut = QKeySequence()) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& title) {
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

void TMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    N1 = AddMenu(bar, "N1", QStringLiteral("ФАйл"));
    N2 = AddItem(N1, "N2", QStringLiteral("Новый проект"));
    N3 = AddItem(N1, "N3", QStringLiteral("Открыть..."), QKeySequence(Qt::Key_F3));
    N4 = AddItem(N1, "N4", QStringLiteral("Сохранить"), QKeySequence(Qt::CTRL | Qt::Key_S));
    N5 = AddItem(N1, "N5", QStringLiteral("Сохранить как..."), QKeySequence(Qt::Key_F2));
    N1->addSeparator();
    // A project rebuilt from the generated code of a compiled script, for an author who has
    // the script and no longer the project.
    ERM1 = AddItem(N1, "ERM1", QStringLiteral("Импорт из скрипта..."));
    N1->addSeparator();
    RecentMenu = N1->addMenu(QStringLiteral("Последние проекты"));
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    RecentMenu->setEnabled(false);
    N1->addSeparator();
    N7 = AddItem(N1, "N7", QStringLiteral("Настройки..."));
    N8 = AddItem(N1, "N8", QStringLiteral("Выход"));

    N9 = AddMenu(bar, "N9", QStringLiteral("Правка"));
    Undo1 = AddItem(N9, "Undo1", QStringLiteral("Отменить"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1 = AddItem(N9, "Redo1", QStringLiteral("Повторить"));
    Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    N9->addSeparator();
    N23 = AddItem(N9, "N23", QStringLiteral("Новый диалог"), QKeySequence(Qt::Key_F4));
    N24 = AddItem(N9, "N24", QStringLiteral("Диалог следствия"), QKeySequence(Qt::Key_F6));
    N28 = AddItem(N9, "N28", QStringLiteral("Дублировать диалог"), QKeySequence(Qt::Key_F7));
    N9->addSeparator();
    N30 = AddItem(N9, "N30", QStringLiteral("Копировать (Ctrl+C)"));
    N32 = AddItem(N9, "N32", QStringLiteral("Вырезать (Ctrl+X)"));
    N31 = AddItem(N9, "N31", QStringLiteral("Вставить (Ctrl+V)"));

    N10 = AddMenu(bar, "N10", QStringLiteral("Сервис"));
    N13 = AddItem(N10, "N13", QStringLiteral("Обновить"), QKeySequence(Qt::Key_F5));
    N11 = AddItem(N10, "N11", QStringLiteral("Компиляция"), QKeySequence(Qt::Key_F9));
    INI1 = AddItem(N10, "INI1", QStringLiteral("Импорт из INI..."));
    N10->addSeparator();
    N20 = AddItem(N10, "N20", QStringLiteral("Файл скрипта..."));
    maps1 = AddItem(N10, "maps1", QStringLiteral("Каталог maps..."));
    N10->addSeparator();
    Play1 = AddItem(N10, "Play1", QStringLiteral("Проиграть с этого диалога"),
                    QKeySequence(Qt::SHIFT | Qt::Key_F9));

    N16 = AddMenu(bar, "N16", QStringLiteral("Справка"));
    N12 = AddItem(N16, "N12", QStringLiteral("О программе..."));

    // The commands of this window; "Настройки..." has none. The editing commands of "Правка"
    // are wired in ConnectCommands.
    connect(N2, &QAction::triggered, this, Guard(&TMain::ToolButton1Click));
    connect(N3, &QAction::triggered, this, Guard(&TMain::N3Click));
    connect(N4, &QAction::triggered, this, Guard(&TMain::N4Click));
    connect(N5, &QAction::triggered, this, Guard(&TMain::N5Click));
    connect(N8, &QAction::triggered, this, Guard(&TMain::N8Click));
    connect(N13, &QAction::triggered, this, Guard(&TMain::N13Click));
    connect(N11, &QAction::triggered, this, Guard(&TMain::N11Click));
    connect(INI1, &QAction::triggered, this, Guard(&TMain::INI1Click));
    connect(ERM1, &QAction::triggered, this, Guard(&TMain::ERM1Click));
    connect(N20, &QAction::triggered, this, Guard(&TMain::N20Click));
    connect(maps1, &QAction::triggered, this, Guard(&TMain::maps1Click));
    connect(N12, &QAction::triggered, this, Guard(&TMain::N12Click));
    connect(Play1, &QAction::triggered, this, Guard(&TMain::PlayClick));
}

void TMain::FillRecentMenu() {
    RecentMenu->clear();
    const QFontMetrics metrics(RecentMenu->font());
    for (std::size_t k = 0; k < recent_.size(); ++k) {
        const QString path = FromCp1251(recent_[k]);
        const QFileInfo file(path);
        QString name = file.fileName();
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        // The file name first, where the eye looks for it; a long folder is shortened inside.
        const QString folder = metrics.elidedText(QDir::toNativeSeparators(file.absolutePath()),
                                                  Qt::ElideMiddle, 360);
        QAction* item = RecentMenu->addAction(
            QStringLiteral("&%1 %2   (%3)").arg(k + 1).arg(name, folder));
        connect(item, &QAction::triggered, this, [this, path] { OpenRecentProject(path); });
    }
    RecentMenu->setEnabled(!recent_.empty());
}

void TMain::BuildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    // A button with a menu item runs that item's action, so both are enabled alike; the action
    // carries the button's hint (menus show no hints).
    auto button = [this](const char* name, const QString& hint, ToolIcon icon,
                         QAction* item = nullptr) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QString::fromLatin1(name));
        if (item != nullptr) {
            item->setToolTip(hint);
            item->setIcon(ToolbarIcon(icon));
            item->setIconVisibleInMenu(false);
            b->setDefaultAction(item);
        }
        b->setToolTip(hint);
        b->setIcon(ToolbarIcon(icon));
        b->setAutoRaise(true);
        ToolBar1->addWidget(b);
        return b;
    };

    ToolButton1 = button("ToolButton1", QStringLiteral("Новый..."), ToolIcon::NewProject, N2);
    ToolButton2 = button("ToolButton2", QStringLiteral("Открыть..."), ToolIcon::Open, N3);
    ToolButton3 = button("ToolButton3", QStringLiteral("Сохранить"), ToolIcon::Save, N4);
    ToolBar1->addSeparator();
    ToolButton5 =
        button("ToolButton5", QStringLiteral("Новый диалог (F4)"), ToolIcon::NewDialog, N23);
    ToolButton6 = button("ToolButton6",
                         QStringLiteral("Новый диалог на базе выбранного ответа "
                                        "(наследование подсказок) (F6)"),
                         ToolIcon::ConsequenceDialog, N24);
    ToolButton7 = button("ToolButton7", QStringLiteral("Изменить текст (Tab)"), ToolIcon::EditText);
    ToolButton7->setEnabled(false);
    ToolButton13 = button("ToolButton13", QStringLiteral("Создать аналогичный диалог (F7)"),
                          ToolIcon::DuplicateDialog, N28);
    ToolBar1->addSeparator();
    ToolButton9 = button("ToolButton9",
                         QStringLiteral("Внести необходимые разрушения в скриптовый файл"),
                         ToolIcon::Compile, N11);
    ToolBar1->addSeparator();
    ToolButton10 = button("ToolButton10",
                          QStringLiteral("Проставить значения стоимости в тексте (и требуемого "
                                         "скилла)"),
                          ToolIcon::CostCaption);
    ToolButton12 = new QToolButton(ToolBar1);
    ToolButton12->setObjectName(QStringLiteral("ToolButton12"));
    ToolButton12->setText(QStringLiteral("VS"));
    ToolButton12->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolButton12->setToolTip(QStringLiteral("Установить всем последующим вариантам эту "
                                            "v-переменную и variable set по возрастанию"));
    ToolButton12->setAutoRaise(true);
    QFont bold = ToolButton12->font();
    bold.setBold(true);
    ToolButton12->setFont(bold);
    ToolButton12->setMinimumSize(QSize(32, 32));
    ToolBar1->addWidget(ToolButton12);

    connect(ToolButton7, &QToolButton::clicked, this, Guard(&TMain::v1EditButtonClick));
}

void TMain::BuildPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N14 = AddItem(PopupMenu1, "N14", QStringLiteral("Добавить вариант..."),
                  QKeySequence(Qt::Key_Insert));
    N15 = AddItem(PopupMenu1, "N15", QStringLiteral("Добавить вариант с диалогом..."),
                  QKeySequence(Qt::CTRL | Qt::Key_Insert));
    N19 = AddItem(PopupMenu1, "N19", QStringLiteral("Добавить к диалогу..."));
    PopupMenu1->addSeparator();
    N26 = AddItem(PopupMenu1, "N26", QStringLiteral("Переименовать..."));
    N17 = AddItem(PopupMenu1, "N17", QStringLiteral("Изменить текст"), QKeySequence(Qt::Key_Tab));
    N18 = AddItem(PopupMenu1, "N18", QStringLiteral("Удалить"),
                  QKeySequence(Qt::CTRL | Qt::Key_Delete));
    N21 = AddItem(PopupMenu1, "N21", QStringLiteral("Вверх"), QKeySequence(Qt::CTRL | Qt::Key_Up));
    N22 = AddItem(PopupMenu1, "N22", QStringLiteral("Вниз"),
                  QKeySequence(Qt::CTRL | Qt::Key_Down));
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(Play1);
}

} // namespace kv
