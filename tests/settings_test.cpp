#include "app/events.hpp"
#include "app/settings.hpp"
#include "scratch_folder.hpp"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

using namespace vx;

namespace {

// The values start-up gives before and around its readings of the file.
void startValues(Shapes& sh) {
    State& st = sh.st;
    st.numcolors = 1;
    st.sharpf = 2;
    st.tcolor = st.tcolor2 = 1;
    st.detailf = 16;
    st.complexy = 2;
    st.ntimes = 10;
    st.nwait4 = st.centerf = 0;
    st.mpattern = st.mpattern2 = 1;
    st.swidth = 200;
    sh.form.setText("Text2", "200");
}

std::string defaultFile() {
    std::string s = " 16  200  0  2  1  4  10  2  1  1  0  10  1  1  1 \r\n 0 \r\n";
    for (int i = 0; i < 63; ++i) s += "0\r\n";
    return s + "9999\r\n";
}

// A file with the given line 1 and colour lines, each ended by CR LF.
std::string fileWith(const std::string& head, const std::vector<std::string>& colours) {
    std::string s = head + "\r\n";
    for (const auto& c : colours) s += c + "\r\n";
    return s;
}

class SettingsFile : public scratch::ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        startValues(sh);
    }
    void readBoth() {
        ASSERT_TRUE(readSettingsFirst(sh));
        ASSERT_TRUE(readSettingsSecond(sh));
    }
    Shapes sh;
};

} // namespace

TEST_F(SettingsFile, SavedRightAfterRestoreHasTheDocumentedBytes) {
    sh.form.setText("Text3", "3");
    sh.st.numcolors = 5;
    sh.st.colorlist[1] = 255;
    programEvents().click(sh, "restored");
    ASSERT_TRUE(programEvents().click(sh, "savesettings"));
    EXPECT_EQ(readAll("Vortalis.settings"), defaultFile());
    // The stored smoothness comes from the field, and the member follows it.
    EXPECT_EQ(sh.st.sharpf, 2);
    EXPECT_FALSE(exists("Vortalis.settings.tmp"));
}

TEST_F(SettingsFile, PrintStyleNumbers) {
    EXPECT_EQ(printNumber(16), " 16 ");
    EXPECT_EQ(printNumber(-3), "-3 ");
    EXPECT_EQ(printNumber(0), " 0 ");
    EXPECT_EQ(printNumber(12.5), " 12.5 ");
    EXPECT_EQ(printNumber(16777215), " 16777215 ");
}

TEST_F(SettingsFile, SaveClampsTheFieldsItReads) {
    sh.form.setText("Text3", "99");
    sh.form.setText("Text2", "12");
    sh.form.setText("Text1", "-4");
    sh.form.setText("Text4", "6");
    sh.form.setText("Text5", "75");
    sh.form.setText("Text10", "0");
    sh.form.setText("Text9", "30x");
    sh.st.ntimes = -2;
    ASSERT_TRUE(saveSettings(sh));
    EXPECT_EQ(sh.form.text("Text3"), "25");
    EXPECT_EQ(sh.form.text("Text2"), "40");
    EXPECT_EQ(sh.form.text("Text1"), "0");
    EXPECT_EQ(sh.form.text("Text4"), "6");  // read without a clamp
    EXPECT_EQ(sh.form.text("Text5"), "75"); // clamped for the file only
    EXPECT_EQ(sh.form.text("Text10"), "1");
    EXPECT_EQ(sh.form.text("Text9"), "25");
    const std::string text = readAll("Vortalis.settings");
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              " 25  40  0  2  1  6  50  1  0  1  0  1  25  1  1 ");
}

TEST_F(SettingsFile, AChangedStateComesBackThroughBothReadings) {
    sh.form.setText("Text3", "7");
    sh.form.setText("Text2", "350");
    sh.form.setText("Text1", "3");
    sh.form.setText("Text4", "8");
    sh.form.setText("Text5", "33");
    sh.form.setText("Text10", "5");
    sh.form.setText("Text9", "12");
    State& st = sh.st;
    st.complexy = 1;
    st.tcolor = st.tcolor2 = 0;
    st.mpattern = 0;
    st.nwait4 = 1;
    st.ntimes = 4;
    st.numcolors = 4;
    st.colorlist[1] = 255;
    st.colorlist[2] = -3;
    st.colorlist[3] = 2;
    st.colorlist[4] = 0;
    st.colorlist[5] = 77; // above numcolors: stored as "0"
    ASSERT_TRUE(saveSettings(sh));

    Shapes fresh;
    startValues(fresh);
    ASSERT_TRUE(readSettingsFirst(fresh));
    const State& f = fresh.st;
    EXPECT_EQ(f.detailf, 7);
    EXPECT_EQ(f.swidth, 350);
    EXPECT_EQ(f.complexy2, 3);
    EXPECT_EQ(f.complexy, 1);
    EXPECT_EQ(f.nsides, 8);
    EXPECT_EQ(f.sharpf, 5);
    EXPECT_EQ(f.mpattern, 0);
    EXPECT_EQ(f.mpattern2, 0);
    EXPECT_EQ(f.ntimes, 4);
    EXPECT_EQ(f.complexy4, 12);
    EXPECT_EQ(f.numcolors, 4);
    EXPECT_EQ(f.colorlist[1], 255);
    EXPECT_EQ(f.colorlist[2], -3);
    EXPECT_EQ(f.colorlist[3], 2);
    EXPECT_EQ(f.colorlist[5], 0);
    // The first reading sets the colour-mode marks and two fields, nothing else on the panel.
    EXPECT_TRUE(fresh.form.checked("bcolor7"));
    EXPECT_FALSE(fresh.form.checked("ucolors"));
    EXPECT_FALSE(fresh.form.checked("tcolor7"));
    EXPECT_EQ(fresh.form.text("Text9"), "12");
    EXPECT_EQ(fresh.form.text("Text10"), "5");
    EXPECT_EQ(fresh.form.text("Text3"), "16");
    EXPECT_TRUE(fresh.form.checked("cpattern"));
    EXPECT_TRUE(fresh.form.checked("printoff"));
    EXPECT_TRUE(fresh.form.checked("saveoff"));

    ASSERT_TRUE(readSettingsSecond(fresh));
    EXPECT_EQ(fresh.form.text("Text2"), "350");
    EXPECT_EQ(fresh.form.text("Text3"), "7");
    EXPECT_EQ(fresh.form.text("Text1"), "3");
    EXPECT_EQ(fresh.form.text("Text4"), "8");
    EXPECT_EQ(fresh.form.text("Text5"), "33");
    EXPECT_TRUE(fresh.form.checked("Option1"));
    EXPECT_FALSE(fresh.form.checked("Option2"));
    EXPECT_TRUE(fresh.form.checked("csingle"));
    EXPECT_FALSE(fresh.form.checked("cpattern"));
    EXPECT_TRUE(fresh.form.checked("tslow"));
    EXPECT_FALSE(fresh.form.checked("tfast"));
    EXPECT_EQ(f.nwait4, 1);
    // A stored "complex" is not honoured at start-up.
    EXPECT_EQ(f.centerf, 0);
    EXPECT_TRUE(fresh.form.checked("snormal"));
    EXPECT_FALSE(fresh.form.checked("scenter"));
    EXPECT_EQ(fresh.platform->lastStatus, "");
}

TEST_F(SettingsFile, StoredSwitchValuesAreNormalised) {
    // sharpf 0 loads as 1 and checks "Shapes sharp"; nwait4 5 loads as "Fast".
    writeAll("Vortalis.settings",
             fileWith(" 16  200  0  2  1  4  10  0  1  1  5  10  1  1  1 ", {" 0 "}));
    sh.form.setChecked("tslow", true);
    sh.form.setChecked("tfast", false);
    readBoth();
    EXPECT_EQ(sh.st.sharpf, 1);
    EXPECT_EQ(sh.form.text("Text10"), "1");
    EXPECT_TRUE(sh.form.checked("ssharp"));
    EXPECT_FALSE(sh.form.checked("ssmooth"));
    EXPECT_EQ(sh.st.nwait4, 0);
    EXPECT_TRUE(sh.form.checked("tfast"));
    EXPECT_FALSE(sh.form.checked("tslow"));

    // Smoothness 2 clears both marks.
    writeAll("Vortalis.settings",
             fileWith(" 16  200  0  2  1  4  10  2  1  1  0  10  1  1  1 ", {" 0 "}));
    readBoth();
    EXPECT_FALSE(sh.form.checked("ssharp"));
    EXPECT_FALSE(sh.form.checked("ssmooth"));
}

TEST_F(SettingsFile, UnknownShapeStyleLeavesTheOptionButtons) {
    writeAll("Vortalis.settings",
             fileWith(" 16  200  0  3  1  4  10  2  1  1  0  10  1  1  1 ", {" 0 "}));
    for (const char* selected : {"Option1", "Option2"}) {
        sh.form.selectOption(selected, {"Option1", "Option2"});
        readBoth();
        EXPECT_TRUE(sh.form.checked(selected));
        EXPECT_EQ(sh.st.complexy, 3);
    }
}

TEST_F(SettingsFile, ColourModeMarksFollowTheStoredSwitches) {
    struct Case {
        const char* head;
        const char* checked;
    } cases[] = {{" 1  40  0  2  1  4  10  2  0  1  0  1  1  0  1 ", "tcolor7"},
                 {" 1  40  0  2  0  4  10  2  0  1  0  1  1  0  1 ", "bcolor7"},
                 {" 1  40  0  2  1  4  10  2  0  1  0  1  1  1  1 ", "ucolors"}};
    for (const Case& c : cases) {
        writeAll("Vortalis.settings", fileWith(c.head, {}));
        ASSERT_TRUE(readSettingsFirst(sh));
        for (const char* item : {"tcolor7", "bcolor7", "ucolors"})
            EXPECT_EQ(sh.form.checked(item), std::string(item) == c.checked) << c.head << item;
    }
    // The imported scale checks none and leaves the marks as they were.
    writeAll("Vortalis.settings", fileWith(" 1  40  0  2  2  4  10  2  0  1  0  1  1  1  1 ", {}));
    ASSERT_TRUE(readSettingsFirst(sh));
    EXPECT_EQ(sh.st.tcolor, 2);
    EXPECT_TRUE(sh.form.checked("ucolors"));
}

TEST_F(SettingsFile, MissingFileChangesNothing) {
    EXPECT_FALSE(readSettingsFirst(sh));
    EXPECT_FALSE(readSettingsSecond(sh));
    EXPECT_EQ(sh.st.swidth, 200);
    EXPECT_EQ(sh.form.text("Text10"), "2");
    EXPECT_EQ(sh.platform->lastStatus, "");
}

TEST_F(SettingsFile, ShortFileKeepsWhatItDoesNotHold) {
    sh.st.colorlist[1] = 99;
    sh.st.colorlist[3] = 42;
    writeAll("Vortalis.settings", " 9 , 120 \r\n 5 \r\n\r\n");
    readBoth();
    EXPECT_EQ(sh.st.detailf, 9);
    EXPECT_EQ(sh.st.swidth, 120);
    EXPECT_EQ(sh.st.complexy, 2);
    EXPECT_EQ(sh.st.mpattern, 1);
    EXPECT_EQ(sh.st.ntimes, 10);
    EXPECT_EQ(sh.form.text("Text5"), "10");
    EXPECT_EQ(sh.st.colorlist[1], 5);
    EXPECT_EQ(sh.st.colorlist[2], 0); // an empty line is a value of its own
    EXPECT_EQ(sh.st.colorlist[3], 42);
    EXPECT_NE(sh.platform->warning.find("Vortalis.settings"), std::string::npos);
}

TEST_F(SettingsFile, DamagedFilesLoadWhatCanBeReadAndClampTheRest) {
    const std::string binary("\x00\xff\x7f\r\n\x01\x02\n\xfe\xfe\xfe", 12);
    const std::string files[] = {
        "",
        "\r\n\r\n\r\n",
        binary,
        "nan inf -inf NaN Infinity 0x10 1e999 -1e999 abc , , ,",
        " 1e300  -1e300  99999999999999999999  -5  -7  1e308  -9  1e40  -1  -8  -3  -6  1e9  -2 "
        " 100000 \r\n 1e20 \r\n-8 \r\n 16777216 \r\n 12.5 \r\n nan \r\n-7 \r\n 16777215 \r\n",
        std::string(300000, '9') + "\r\n" + std::string(100000, ','),
    };
    for (const std::string& text : files) {
        Shapes fresh;
        startValues(fresh);
        writeAll("Vortalis.settings", text);
        ASSERT_TRUE(readSettingsFirst(fresh));
        ASSERT_TRUE(readSettingsSecond(fresh));
        const State& st = fresh.st;
        EXPECT_GE(st.numcolors, 1);
        EXPECT_LE(st.numcolors, 64);
        EXPECT_GE(st.sharpf, 1);
        EXPECT_LE(st.sharpf, 9);
        EXPECT_GE(st.complexy4, 1);
        EXPECT_LE(st.complexy4, 25);
        EXPECT_TRUE(st.mpattern == 0 || st.mpattern == 1);
        EXPECT_TRUE(st.tcolor >= 0 && st.tcolor <= 2);
        EXPECT_TRUE(st.tcolor2 == 0 || st.tcolor2 == 1);
        EXPECT_GE(st.ntimes, 1);
        for (int i = 1; i <= 64; ++i) {
            const int32_t c = st.colorlist[i];
            EXPECT_TRUE((c >= 0 && c <= 16777215) || (c >= -7 && c <= -1)) << i << " " << c;
        }
        for (const char* field : {"Text2", "Text3", "Text9", "Text10", "Text5"})
            EXPECT_LT(fresh.form.text(field).size(), 30u) << field;
        EXPECT_NE(fresh.platform->warning.find("damaged"), std::string::npos);
        // What was loaded saves again as a well-formed file.
        ASSERT_TRUE(saveSettings(fresh));
        const std::string saved = readAll("Vortalis.settings");
        EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 66);
        EXPECT_TRUE(parseSettings(saved).unreadable.none());
    }
}

TEST_F(SettingsFile, TheDamageCountNeverExceedsTheValuesTheFileHolds) {
    // Every value wrong twice over: not a clean number, and out of its set or range.
    std::string head;
    for (int i = 0; i < 15; ++i) head += " 7x ";
    writeAll("Vortalis.settings", fileWith(head, std::vector<std::string>(64, " 99999999x 5 ")));
    ASSERT_TRUE(readSettingsFirst(sh));
    EXPECT_NE(sh.platform->warning.find(": 79 values could not be read"), std::string::npos)
        << sh.platform->warning;
}

TEST_F(SettingsFile, OutOfRangeValuesOfTheHugeFile) {
    writeAll("Vortalis.settings",
             " 1e300  -1e300  0  2  1  4  10  1e40  -1  -8  -3  -6  1e9  -2  100000 \r\n"
             " 1e20 \r\n-8 \r\n 16777216 \r\n 12.5 \r\n nan \r\n-7 \r\n 16777215 \r\n-0 \r\n");
    readBoth();
    const State& st = sh.st;
    EXPECT_EQ(st.sharpf, 9);
    EXPECT_EQ(st.complexy4, 25);
    EXPECT_EQ(st.numcolors, 64);
    EXPECT_EQ(st.mpattern, 1); // -8 is neither kind of drawing: kept
    EXPECT_EQ(st.tcolor2, 1);  // -2 is no colour mode: kept
    EXPECT_EQ(st.nwait4, 0);
    EXPECT_EQ(st.ntimes, 1);
    EXPECT_EQ(st.detailf, 1e300);
    EXPECT_EQ(sh.form.text("Text3"), "1e+300"); // the next drawing clamps it to 25
    const int32_t want[] = {0, 0, 0, 0, 0, -7, 16777215, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(st.colorlist[i + 1], want[i]) << i + 1;
}

// Both readings of one damaged file give one warning, which later status lines leave alone; a
// pipe under the name is not waited for but said, a missing file is no news.
TEST_F(SettingsFile, ProblemsAreWarnedOnceWithTheirCount) {
    struct Counting : Platform {
        int shown = 0;
        void showWarning(const std::string& text) override {
            ++shown;
            Platform::showWarning(text);
        }
    } platform;
    Shapes fresh{platform};
    startValues(fresh);
    writeAll(kSettingsFile, " 9 x \r\n");
    ASSERT_TRUE(readSettingsFirst(fresh));
    fresh.platform->status("Drawing 1234");
    ASSERT_TRUE(readSettingsSecond(fresh));
    EXPECT_EQ(platform.shown, 1);
    EXPECT_EQ(platform.warning,
              "Vortalis.settings is damaged or incomplete: 78 values could not be read.");
    std::filesystem::remove(kSettingsFile);
    EXPECT_FALSE(readSettingsFirst(fresh));
    EXPECT_EQ(platform.shown, 1);
    ASSERT_EQ(::mkfifo(kSettingsFile, 0644), 0);
    EXPECT_FALSE(readSettingsFirst(fresh));
    EXPECT_EQ(platform.warning,
              "Vortalis.settings was not read: it is a pipe, not a regular file.");
}

TEST_F(SettingsFile, ExtraLinesAndOtherLineEndsAreRead) {
    std::string text = " 5  90  0  1  1  4  20  3  0  0  1  7  4  1  2 \n 65280 \r 255 \r\n";
    for (int i = 0; i < 62; ++i) text += "0\n";
    text += "9999\n 123 \n 456 \n";
    writeAll("Vortalis.settings", text);
    sh.st.colorlist[65] = 31;
    readBoth();
    EXPECT_EQ(sh.st.detailf, 5);
    EXPECT_EQ(sh.st.numcolors, 2);
    EXPECT_EQ(sh.st.colorlist[1], 65280);
    EXPECT_EQ(sh.st.colorlist[2], 255);
    EXPECT_EQ(sh.st.colorlist[64], 0);
    EXPECT_EQ(sh.st.colorlist[65], 0); // the file replaces the whole list
    EXPECT_EQ(sh.form.text("Text5"), "20");
    EXPECT_EQ(sh.platform->warning, "");
}

TEST_F(SettingsFile, NumcolorsAbove64IsStoredButOnly64ColoursAreWritten) {
    sh.st.numcolors = 80;
    for (int i = 1; i <= 80; ++i) sh.st.colorlist[i] = i;
    ASSERT_TRUE(saveSettings(sh));
    const std::string text = readAll("Vortalis.settings");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 66);
    EXPECT_NE(text.find(" 80 \r\n 1 \r\n"), std::string::npos);
    EXPECT_NE(text.find(" 64 \r\n9999\r\n"), std::string::npos);
    Shapes fresh;
    startValues(fresh);
    ASSERT_TRUE(readSettingsFirst(fresh));
    EXPECT_EQ(fresh.st.numcolors, 64);
    EXPECT_EQ(fresh.st.colorlist[64], 64);
    EXPECT_EQ(fresh.st.colorlist[65], 0);
}

TEST_F(SettingsFile, AFailedSaveLeavesTheOldFileWholeAndSaysSo) {
    ASSERT_TRUE(saveSettings(sh));
    const std::string before = readAll("Vortalis.settings");
    // A folder under the temporary name is left alone and does not stop the save.
    std::filesystem::create_directory("Vortalis.settings.tmp");
    sh.form.setText("Text3", "5");
    EXPECT_TRUE(saveSettings(sh)) << sh.platform->lastStatus;
    EXPECT_NE(readAll("Vortalis.settings"), before);
    EXPECT_TRUE(std::filesystem::is_directory("Vortalis.settings.tmp"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2);
    std::filesystem::remove("Vortalis.settings.tmp");

    // The file's own name taken by a folder: written, but the rename fails.
    std::filesystem::remove("Vortalis.settings");
    std::filesystem::create_directories("Vortalis.settings/inside");
    EXPECT_FALSE(saveSettings(sh));
    EXPECT_FALSE(exists("Vortalis.settings.tmp"));
    EXPECT_NE(sh.platform->lastStatus.find("not saved"), std::string::npos);
    // A folder under the file's name reads as no file.
    EXPECT_FALSE(readSettingsFirst(sh));
    EXPECT_FALSE(readSettingsSecond(sh));
    EXPECT_EQ(sh.st.swidth, 200);
}

TEST_F(SettingsFile, RestoreDefaultsSetsTheDocumentedState) {
    writeAll("Vortalis.settings", "keep me");
    State& st = sh.st;
    st.ntimes = 7;
    st.numcolors = 9;
    for (int i = 1; i <= 120; ++i) st.colorlist[i] = 3;
    st.nwait4 = 1;
    st.tcolor = 0;
    st.mpattern = 0;
    sh.form.setEnabled("sscreen", false);
    sh.form.selectOption("Option1", {"Option1", "Option2"});
    sh.form.setChecked("ssharp", true);
    sh.form.setChecked("ssmooth", false);
    sh.form.setText("Text5", "3");
    restoreDefaults(sh);
    EXPECT_EQ(readAll("Vortalis.settings"), "keep me");
    EXPECT_EQ(sh.platform->lastStatus, "Default settings restored (not saved: use \"Save "
                                       "settings\" to keep them).");
    EXPECT_EQ(st.ntimes, 7);
    EXPECT_EQ(st.numcolors, 1);
    EXPECT_EQ(st.colorlist[1], 0);
    EXPECT_EQ(st.colorlist[100], 0);
    EXPECT_EQ(st.colorlist[101], 3);
    EXPECT_EQ(st.sharpf, 0);
    EXPECT_EQ(sh.form.text("Text10"), "2");
    EXPECT_EQ(st.centerf, 1);
    EXPECT_EQ(st.complexy, 2);
    EXPECT_EQ(st.mpattern, 1);
    EXPECT_EQ(st.mpattern2, 1);
    EXPECT_EQ(st.swidth, 200);
    EXPECT_EQ(st.nsides, 4);
    EXPECT_TRUE(sh.form.enabled("sscreen"));
    EXPECT_TRUE(sh.form.checked("Option2"));
    EXPECT_FALSE(sh.form.checked("Option1"));
    EXPECT_TRUE(sh.form.checked("ssmooth"));
    EXPECT_FALSE(sh.form.checked("ssharp"));
    EXPECT_TRUE(sh.form.checked("scenter"));
    EXPECT_FALSE(sh.form.checked("snormal"));
    EXPECT_TRUE(sh.form.checked("ucolors"));
    EXPECT_TRUE(sh.form.checked("tfast"));
    EXPECT_TRUE(sh.form.checked("cpattern"));
    EXPECT_FALSE(sh.form.checked("csingle"));
    for (auto [field, text] : {std::pair{"Text2", "200"},
                               {"Text1", "0"},
                               {"Text4", "4"},
                               {"Text3", "16"},
                               {"Text9", "1"},
                               {"Text5", "10"}})
        EXPECT_EQ(sh.form.text(field), text) << field;
}
