#include "editor/hero_panel.h"

#include "editor/qt_text.h"
#include "erm/batch_edits.h"
#include "text/whole_number.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <limits>

namespace kv {

namespace {

constexpr int kMaxLevel = 3;

QSpinBox* NumberBox(int low, int high, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    return box;
}

// A form of labelled numbers that scrolls when the panel is small.
QFormLayout* ScrolledForm(QTabWidget* tabs, const QString& title) {
    auto* area = new QScrollArea(tabs);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto* page = new QWidget(area);
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    area->setWidget(page);
    tabs->addTab(area, title);
    return form;
}

// A cell's number; the variable column shows "v7" and takes "7" too.
std::optional<std::int32_t> CellNumber(const QTableWidgetItem* item, bool variable = false) {
    if (!item) return {};
    QString text = item->text().trimmed();
    if (variable && text.startsWith(QLatin1Char('v'), Qt::CaseInsensitive)) text.remove(0, 1);
    return ParseWholeNumber(ToCp1251(text));
}

} // namespace

HeroPanel::HeroPanel(QWidget* parent) : QWidget(parent) {
    Tabs = new QTabWidget(this);
    constexpr int kLow = std::numeric_limits<std::int32_t>::min();
    constexpr int kHigh = std::numeric_limits<std::int32_t>::max();

    QFormLayout* skills = ScrolledForm(Tabs, QStringLiteral("Навыки"));
    for (int n = 1; n <= kSkillCount; ++n) {
        QSpinBox* box = NumberBox(0, kMaxLevel, Tabs);
        skills->addRow(QStringLiteral("%1. %2").arg(n).arg(FromCp1251(SkillName(n))), box);
        Skills[static_cast<std::size_t>(n - 1)] = box;
        connect(box, &QSpinBox::valueChanged, this, &HeroPanel::Edited);
    }
    QFormLayout* resources = ScrolledForm(Tabs, QStringLiteral("Ресурсы"));
    for (int r = 0; r < kResourceCount; ++r) {
        QSpinBox* box = NumberBox(kLow, kHigh, Tabs);
        resources->addRow(FromCp1251(ResourceName(r)), box);
        Resources[static_cast<std::size_t>(r)] = box;
        connect(box, &QSpinBox::valueChanged, this, &HeroPanel::Edited);
    }

    auto* variablesPage = new QWidget(Tabs);
    Variables = new QTableWidget(0, 2, variablesPage);
    Variables->setHorizontalHeaderLabels(
        {QStringLiteral("Переменная"), QStringLiteral("Значение")});
    Variables->verticalHeader()->hide();
    Variables->horizontalHeader()->setStretchLastSection(true);
    Variables->setSelectionBehavior(QAbstractItemView::SelectRows);
    AddVariable = new QPushButton(QStringLiteral("Добавить"), variablesPage);
    RemoveVariable = new QPushButton(QStringLiteral("Удалить"), variablesPage);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AddVariable);
    buttons->addWidget(RemoveVariable);
    buttons->addStretch();
    auto* variables = new QVBoxLayout(variablesPage);
    variables->addWidget(Variables);
    variables->addLayout(buttons);
    Tabs->addTab(variablesPage, QStringLiteral("Переменные"));
    connect(Variables, &QTableWidget::cellChanged, this, [this] { VariableEdited(); });
    connect(AddVariable, &QPushButton::clicked, this, [this] {
        // The smallest number not in use yet; v1 is the one the dialog code writes itself.
        std::int32_t n = 2;
        while (hero_.variables.count(n))
            ++n;
        hero_.SetVariable(n, 0);
        FillVariables();
        emit HeroEdited(hero_);
    });
    connect(RemoveVariable, &QPushButton::clicked, this, [this] {
        const int row = Variables->currentRow();
        const auto n = CellNumber(Variables->item(row, 0), true);
        if (row < 0 || !n) return;
        hero_.variables.erase(*n);
        FillVariables();
        emit HeroEdited(hero_);
    });

    Artefacts = new QLabel(this);
    Artefacts->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Tabs);
    layout->addWidget(Artefacts);
    SetHero(HeroState{});
}

void HeroPanel::SetHero(const HeroState& hero) {
    hero_ = hero;
    filling_ = true;
    for (int n = 0; n < kSkillCount; ++n)
        Skills[static_cast<std::size_t>(n)]->setValue(hero.skills[static_cast<std::size_t>(n)]);
    for (int r = 0; r < kResourceCount; ++r) {
        Resources[static_cast<std::size_t>(r)]->setValue(
            static_cast<int>(hero.resources[static_cast<std::size_t>(r)]));
    }
    filling_ = false;
    FillVariables();
    QStringList given;
    for (std::uint16_t a : hero.artefacts)
        given << QString::number(a);
    Artefacts->setText(QStringLiteral("Артефакты: ") + (given.isEmpty()
                                                            ? QStringLiteral("нет")
                                                            : given.join(QStringLiteral(", "))));
}

void HeroPanel::FillVariables() {
    filling_ = true;
    Variables->setRowCount(0);
    for (const auto& [n, value] : hero_.variables) {
        const int row = Variables->rowCount();
        Variables->insertRow(row);
        Variables->setItem(row, 0, new QTableWidgetItem(QStringLiteral("v%1").arg(n)));
        Variables->setItem(row, 1, new QTableWidgetItem(QString::number(value)));
    }
    filling_ = false;
}

void HeroPanel::Edited() {
    if (filling_) return;
    for (int n = 0; n < kSkillCount; ++n) {
        hero_.skills[static_cast<std::size_t>(n)] =
            static_cast<std::uint8_t>(Skills[static_cast<std::size_t>(n)]->value());
    }
    for (int r = 0; r < kResourceCount; ++r)
        hero_.resources[static_cast<std::size_t>(r)] =
            Resources[static_cast<std::size_t>(r)]->value();
    emit HeroEdited(hero_);
}

void HeroPanel::VariableEdited() {
    if (filling_) return;
    // The table is read whole: a row renumbered takes its value along, and a row that is no
    // variable number or value is dropped when the table is shown again.
    std::map<std::int32_t, std::int32_t> variables;
    for (int i = 0; i < Variables->rowCount(); ++i) {
        const auto n = CellNumber(Variables->item(i, 0), true);
        const auto value = CellNumber(Variables->item(i, 1));
        if (n && *n >= 1 && value) variables[*n] = *value;
    }
    hero_.variables = std::move(variables);
    // The table is filled again once the edit that changed it has ended.
    QMetaObject::invokeMethod(this, &HeroPanel::FillVariables, Qt::QueuedConnection);
    emit HeroEdited(hero_);
}

} // namespace kv
