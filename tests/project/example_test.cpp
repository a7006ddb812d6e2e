// The bundled example is what the program itself writes for the tavern project built here.
// After changing the project below, write the file anew with
//   KORV_WRITE_EXAMPLES=1 build/tests/test_project --gtest_filter='Example*'
#include "project/tlk_file.h"

#include "support/temp_dir.h"
#include "text/cp1251.h"
#include "text/file_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using kv::TDialogItem;

// Sets slot k from UTF-8 texts.
kv::TVariantData& Answer(TDialogItem* d, int k, const char* caption, TDialogItem* next = nullptr) {
    auto i = static_cast<std::size_t>(k);
    d->Variant[i] = kv::Utf8ToCp1251(caption);
    d->LinkDialog[i] = next;
    if (next) d->Function[i] = next->FunctionNumber;
    return d->Variants[i];
}

TDialogItem* NewDialog(kv::Project& p, int number, const char* hint, const char* header,
                       std::initializer_list<const char*> message) {
    TDialogItem* d = p.AppendDialog();
    d->FunctionNumber = number;
    d->Hint = kv::Utf8ToCp1251(hint);
    d->Header = kv::Utf8ToCp1251(header);
    std::size_t line = 0;
    for (const char* text : message)
        d->Text[line++] = kv::Utf8ToCp1251(text);
    return d;
}

kv::Project TavernProject() {
    kv::Project p;
    p.FunctionStart = 1000;
    p.ScriptFile = "tavern.erm";

    TDialogItem* guard = NewDialog(p, 1000, "1000 Стражник у ворот", "Стражник",
                                   {"Стой, путник! Таверна «Пьяный грифон» не для всех.",
                                    "Назови своё дело или плати пошлину."});
    TDialogItem* keeper =
        NewDialog(p, 1001, "1001 Трактирщик Бруно", "Трактирщик",
                  {"Добро пожаловать! Эль холодный, слухи свежие.", "", "Чего желаешь?"});
    TDialogItem* tracker =
        NewDialog(p, 1002, "1002 Старый следопыт", "Следопыт",
                  {"В углу сидит седой следопыт с трубкой.",
                   "— Хочешь знать, где тролли прячут золото? Докажи, что умеешь читать следы."});
    TDialogItem* room =
        NewDialog(p, 1003, "1003 Комната наверху", "Ночлег",
                  {"Вы спите как убитый.", "Утром трактирщик будит вас к завтраку."});

    guard->VariantEscape = 2;
    guard->VariantDefault = 1;
    Answer(guard, 0, "Заплатить пошлину (50 золота)", keeper).Gold = 50;
    kv::TVariantData& friendOfOwner =
        Answer(guard, 1, "Я друг хозяина (Дипломатия, продвинутый уровень)", keeper);
    friendOfOwner.Skill = 5;
    friendOfOwner.Slevel = 2;
    Answer(guard, 2, "Уйти");

    keeper->VariantEscape = 5;
    keeper->VariantDefault = 1;
    kv::TVariantData& ale = Answer(keeper, 0, "Кружка эля (10 золота)", keeper);
    ale.Gold = 10;
    ale.Variable = 101;
    ale.DVariable = 1;
    kv::TVariantData& gems =
        Answer(keeper, 1, "Продать самоцветы (3 драг. за 1200 золота)", keeper);
    gems.Gems = 3;
    gems.giveGold = 1200;
    kv::TVariantData& charm = Answer(keeper, 2, "Купить оберег (1500 золота, 2 ртути)", keeper);
    charm.Gold = 1500;
    charm.Merc = 2;
    charm.Artefact = 45;
    charm.FailOn = "&v102=1";
    charm.Variable = 102;
    charm.SVariable = 1;
    Answer(keeper, 3, "Расспросить о слухах", tracker);
    Answer(keeper, 4, "Снять комнату на ночь (100 золота)", room).Gold = 100;
    Answer(keeper, 5, "Уйти");

    tracker->ScriptBefore = "!!VRv104:+1;";
    tracker->VariantEscape = 2;
    tracker->VariantDefault = 3;
    kv::TVariantData& trail = Answer(tracker, 0, "Показать своё умение (Поиск пути)");
    trail.Skill = 1;
    trail.Slevel = 1;
    trail.giveGold = 1000;
    trail.giveWood = 10;
    trail.FailOn = "&v103=1";
    trail.Variable = 103;
    trail.SVariable = 1;
    Answer(tracker, 1, "Угостить его элем (10 золота)", keeper).Gold = 10;
    Answer(tracker, 2, "Вернуться к стойке", keeper);

    room->ScriptAfter = kv::Utf8ToCp1251("!!VRv106:S1; герой отдохнул");
    room->VariantDefault = 1;
    Answer(room, 0, "Спуститься в зал", keeper);
    Answer(room, 1, "Выйти на улицу");
    room->Function[1] = 2000; // a function of the map's own script
    return p;
}

TEST(Example, TavernIsWhatTheProgramWrites) {
    const std::string path = KORV_EXAMPLES "/tavern.tlk";
    kv::Project tavern = TavernProject();
    if (std::getenv("KORV_WRITE_EXAMPLES")) kv::SaveProject(tavern, path);
    EXPECT_EQ(kvtest::ReadBytes(path), kv::SerializeProject(tavern));

    kv::Project loaded = kv::LoadProject(path);
    ASSERT_EQ(loaded.DialogCount(), 4);
    EXPECT_EQ(loaded.Dialogs()->LinkDialog[0], loaded.DialogAt(1));
    EXPECT_EQ(loaded.DialogAt(3)->FollowUp(1), 2000);
}

TEST(Example, TheScriptIsTheAuthorsOwnTextWithCrLf) {
    const std::string script = kvtest::ReadBytes(KORV_EXAMPLES "/tavern.erm");
    ASSERT_FALSE(script.empty());
    EXPECT_EQ(script.rfind("ZVSE\r\n", 0), 0u);
    EXPECT_EQ(script.find("Korvanthiel"), std::string::npos); // no generated region yet
    EXPECT_EQ(script.substr(script.size() - 2), "\r\n");
    for (std::size_t i = script.find('\n'); i != std::string::npos; i = script.find('\n', i + 1)) {
        EXPECT_EQ(script[i - 1], '\r') << "at byte " << i;
    }
    // Windows-1251, not UTF-8: the Cyrillic letters are single bytes.
    EXPECT_NE(script.find(kv::Utf8ToCp1251("Таверна")), std::string::npos);
}

} // namespace
