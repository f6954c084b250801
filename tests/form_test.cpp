#include "app/shapes.hpp"
#include "ui/form.hpp"
#include "ui/layout.hpp"

#include <gtest/gtest.h>

using namespace vx;

TEST(FormModel, RaisesANoticeForEveryRealChangeOnly) {
    ui::Form f;
    ui::buildMainWindow(f);
    std::vector<std::pair<std::string, ui::Change>> seen;
    f.listen([&](const ui::Control& c, ui::Change ch) { seen.emplace_back(c.name, ch); });
    f.setVisible("Command1", true);
    f.setVisible("Command1", true);
    f.setText("Text2", "300");
    f.setEnabled("Timer1", true);
    f.setChecked("csingle", true);
    f.setInterval("Timer1", 5000);
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], (std::pair<std::string, ui::Change>{"Command1", ui::Change::Visible}));
    EXPECT_EQ(seen[1].second, ui::Change::Text);
    EXPECT_EQ(seen[2].second, ui::Change::TimerEnabled);
    EXPECT_EQ(seen[3].second, ui::Change::Checked);
    EXPECT_EQ(seen[4].second, ui::Change::Interval);
}

TEST(FormModel, ProgramMayWriteValuesLongerThanTheTypingLimit) {
    ui::Form f;
    ui::buildMainWindow(f);
    f.setText("Text3", "12.5");
    EXPECT_EQ(f.text("Text3"), "12.5");
}

TEST(FormModel, OptionButtonsExcludeEachOther) {
    ui::Form f;
    ui::buildMainWindow(f);
    EXPECT_TRUE(f.checked("Option2"));
    f.selectOption("Option1", {"Option1", "Option2"});
    EXPECT_TRUE(f.checked("Option1"));
    EXPECT_FALSE(f.checked("Option2"));
}

TEST(FormModel, WindowStartsWithOnlyBeginVisibleAndEveryTimerStopped) {
    ui::Form f;
    ui::buildMainWindow(f);
    for (const auto& c : f.controls()) {
        if (c.kind == ui::Kind::Menu && !c.parent.empty()) continue; // items inside menus
        if (c.kind == ui::Kind::Timer) {
            EXPECT_FALSE(c.enabled) << c.name;
            continue;
        }
        EXPECT_EQ(c.visible, c.name == "Command4") << c.name;
    }
    EXPECT_EQ(f.get("Timer6").interval, 5000);
    EXPECT_EQ(f.text("Text2"), "200");
    // The bar of the description, then the drawings' history, their export and exploring.
    EXPECT_EQ(f.menuChildren(""),
              (std::vector<std::string>{"options", "options2", "patmode", "moptions5", "cop",
                                        "cop2", "history", "export", "explore"}));
    EXPECT_EQ(
        f.menuChildren("export"),
        (std::vector<std::string>{"exportsvg", "exportpdf", "poster", "wallpaper", "recordvideo"}));
}

TEST(FormModel, UnknownNamesAreAnErrorNotACrash) {
    ui::Form f;
    EXPECT_THROW(f.setVisible("nothing", true), std::out_of_range);
}
