#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "dxcc/dxcc_entity_table.h"

namespace {

std::vector<std::string> Words(const char* s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// The boxes of each page as the operator sees them, written out independently of the table under test.
struct ListedPage {
    DxccPage page;
    const char* name;
    int templateId;
    int firstId;
    int lastId;
    std::vector<int> gaps;
    const char* captions;
};

const std::vector<ListedPage>& Listed() {
    static const std::vector<ListedPage> pages = {
        {DxccPage::EU, "EU", 119, 1015, 1084, {},
         "1A0 3A 4O 4U1I 4U1V 9A 9H C3 CT CU DL E7 EA EA6 EI ER ES EU F G GD GI GJ GM GU GW HA HB HB0 "
         "HV I IS IT JW JX LA LX LY LZ OE OH OH0 OJ0 OK OM ON OY OZ PA R1FJ S5 SM SP SV SV5 SV9 T7 "
         "TA1 TF TK UA UA2 UR YL YO YU Z6 Z3 ZA ZB"},
        {DxccPage::AF, "AF", 118, 1015, 1089, {1022, 1038, 1058},
         "3B6 3B8 3B9 3C 3C0 3DA 3V 3X 3Y/b 5A 5H 5N 5R 5T 5U 5V 5X 5Z 6W 7P 7Q 7X 9J 9L 9Q 9U 9X A2 "
         "C5 C9 CN D2 D4 D6 E3 E4 EA8 EA9 EL ET FH FR FT/j FT/t FT/w FT/x FT/z J2 J5 S0 S7 S9 ST SU "
         "T5 TJ TL TN TR TT TU TY TZ VK0H XT Z2 Z8 ZD7 ZD8 ZD9 ZS ZS8"},
        {DxccPage::AS, "AS", 117, 1015, 1071, {1055},
         "1S 3W 4J 4L 4S 4X 5B 7O 8Q 9K 9M2 9N 9V A4 A5 A6 A7 A9 AP BS7 BV BV9P BY E4 EK EP EX EY EZ "
         "HL HS HZ JA JD/o JT JY OD P5 S2 SU TA UA9 UK UN VR VU VU4 VU7 XU XW XX9 XZ YI YK ZC4 YA"},
        {DxccPage::NA, "NA", 122, 1015, 1065, {1026},
         "4U1U 6Y 8P C6 CM CY0 CY9 FG FJ FM FO/c FP FS HH HI HK0/a HP HR J3 J6 J7 J8 K KG4 KL KP1 KP2 "
         "KP4 OX PJ5 PJ7 TG TI TI9 V2 V3 V4 VE VP2E VP2M VP2V VP5 VP9 XE XF4 YN YS YV0 ZF KP5"},
        {DxccPage::SA, "SA", 121, 1015, 1045, {},
         "8R 9Y CE CE0X CE0Y CE0Z CP CX FY HC HC8 HK HK0 LU OA P4 PJ2 PJ4 PY PY0F PY0P PY0T PZ VP8 YV "
         "ZP VP8/g VP8/h VP8/o VP8/s 3Y/p"},
        {DxccPage::OC, "OC", 120, 1015, 1068, {},
         "3D2 4W 5W 9M6 A3 C2 DU E5 E6 FK FO FO0 FW H4 H40 JD/m KH0 KH1 KH2 KH3 KH4 KH5 KH5K KH6 KH7K "
         "KH8 KH8/s KH9 P2 T2 T30 T31 T32 T33 T8 V6 V7 V8 VK VK0 VK9C VK9L VK9M VK9N VK9W VK9X VP6 YB "
         "YJ ZK3 ZL ZL7 ZL8 ZL9"},
    };
    return pages;
}

// The key of a listed box: its caption, except the Bouvet box whose caption carries a "/b".
std::string ListedKey(const std::string& caption) { return caption == "3Y/b" ? "3Y" : caption; }

using Box = std::pair<std::string, std::string>;  // page name, caption

std::set<Box> Ticked(const DxccMarks& marks) {
    std::set<Box> out;
    for (const ListedPage& p : Listed()) {
        DxccRowRange rows = DxccEntityTable::PageRows(p.page);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (marks.Worked(p.page, i)) out.insert({p.name, rows[i].caption});
        }
    }
    return out;
}

TEST(DxccEntityTable, PagesHoldTheListedBoxesWithTheirIdsAndGaps) {
    const size_t expectedCounts[] = {70, 72, 56, 50, 31, 54};
    size_t total = 0;
    for (size_t k = 0; k < Listed().size(); ++k) {
        const ListedPage& p = Listed()[k];
        SCOPED_TRACE(p.name);
        std::vector<std::string> captions = Words(p.captions);
        DxccRowRange rows = DxccEntityTable::PageRows(p.page);
        ASSERT_EQ(rows.size(), expectedCounts[k]);
        ASSERT_EQ(captions.size(), expectedCounts[k]);
        EXPECT_EQ(DxccEntityTable::Page(p.page).templateId, p.templateId);
        EXPECT_STREQ(DxccEntityTable::Page(p.page).name, p.name);

        std::vector<int> expectedIds;
        for (int id = p.firstId; id <= p.lastId; ++id) {
            if (std::find(p.gaps.begin(), p.gaps.end(), id) == p.gaps.end()) expectedIds.push_back(id);
        }
        ASSERT_EQ(expectedIds.size(), rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].caption, captions[i]) << "box " << i;
            EXPECT_EQ(rows[i].controlId, expectedIds[i]) << rows[i].caption;
            EXPECT_EQ(rows[i].page, p.page) << rows[i].caption;
        }
        // The page's slice of the whole table is the page itself.
        EXPECT_EQ(rows.begin(), DxccEntityTable::Rows().begin() + total);
        total += rows.size();
    }
    EXPECT_EQ(total, 333u);
    EXPECT_EQ(DxccEntityTable::Rows().size(), 333u);
}

TEST(DxccEntityTable, OnlyBouvetAndKaliningradDifferFromThePlainRule) {
    std::set<std::string> keys;
    for (const DxccEntity& row : DxccEntityTable::Rows()) {
        keys.insert(row.key);
        if (row.page == DxccPage::AF && row.controlId == 1024) {
            EXPECT_STREQ(row.caption, "3Y/b");
            EXPECT_STREQ(row.key, "3Y");
            EXPECT_STREQ(row.extraKey, "");
        } else if (row.page == DxccPage::EU && row.controlId == 1076) {
            EXPECT_STREQ(row.caption, "UA2");
            EXPECT_STREQ(row.key, "UA2");
            EXPECT_STREQ(row.extraKey, "UA2/f");
        } else {
            EXPECT_STREQ(row.key, row.caption);
            EXPECT_STREQ(row.extraKey, "") << row.caption;
        }
    }
    EXPECT_EQ(keys.size(), 331u);
}

TEST(DxccEntityTable, EveryKeyWorkedAloneTicksExactlyItsOwnBoxes) {
    // Expected boxes per key, from the listed pages alone.
    std::vector<std::pair<std::string, std::set<Box>>> expected;
    for (const ListedPage& p : Listed()) {
        for (const std::string& caption : Words(p.captions)) {
            std::string key = ListedKey(caption);
            auto it = std::find_if(expected.begin(), expected.end(), [&](const auto& e) { return e.first == key; });
            if (it == expected.end()) {
                expected.push_back({key, {}});
                it = expected.end() - 1;
            }
            it->second.insert({p.name, caption});
        }
    }
    ASSERT_EQ(expected.size(), 331u);
    for (const auto& [key, boxes] : expected) {
        DxccMarks marks;
        marks.MarkWorked(key);
        EXPECT_EQ(Ticked(marks), boxes) << key;
        size_t twice = key == "E4" || key == "SU" ? 2 : 1;
        EXPECT_EQ(marks.MarkedCount(), twice) << key;
    }
}

TEST(DxccEntityTable, E4AndSuTickTheirBoxesOnTwoPages) {
    for (const char* key : {"E4", "SU"}) {
        DxccMarks marks;
        marks.MarkWorked(key);
        std::vector<std::pair<DxccPage, int>> ids;
        for (const DxccEntity& row : DxccEntityTable::Rows()) {
            size_t index = static_cast<size_t>(&row - DxccEntityTable::Rows().begin());
            if (marks.Worked(index)) ids.push_back({row.page, row.controlId});
        }
        std::vector<std::pair<DxccPage, int>> want = std::string(key) == "E4"
            ? std::vector<std::pair<DxccPage, int>>{{DxccPage::AF, 1052}, {DxccPage::AS, 1038}}
            : std::vector<std::pair<DxccPage, int>>{{DxccPage::AF, 1071}, {DxccPage::AS, 1054}};
        EXPECT_EQ(ids, want) << key;
    }
}

TEST(DxccEntityTable, PrefixesMatchWholeKeysOnlyAndCaseSensitively) {
    struct Case {
        const char* prefix;
        std::set<Box> boxes;
    };
    const Case cases[] = {
        {"UA2", {{"EU", "UA2"}}},
        {"UA2/f", {{"EU", "UA2"}}},
        {"UA2/F", {}},
        {"ua2", {}},
        {"3Y", {{"AF", "3Y/b"}}},
        {"3Y/b", {}},
        {"3Y/p", {{"SA", "3Y/p"}}},
        {"FT", {}},
        {"FT/z", {{"AF", "FT/z"}}},
        {"FT/Z", {}},
        {"VK9", {}},
        {"VK9M", {{"OC", "VK9M"}}},
        {"DL", {{"EU", "DL"}}},
        {"dl", {}},
        {"DL1ABC", {}},
        {" DL", {}},
        {"DL ", {}},
        {"A9", {{"AS", "A9"}}},
        {"AP", {{"AS", "AP"}}},
        {"", {}},
        {"K", {{"NA", "K"}}},
        {"VE", {{"NA", "VE"}}},
    };
    for (const Case& c : cases) {
        DxccMarks marks;
        marks.MarkWorked(c.prefix);
        EXPECT_EQ(Ticked(marks), c.boxes) << '"' << c.prefix << '"';
    }
}

TEST(DxccEntityTable, MarkingAgreesWithTheMatchRuleOnNearMisses) {
    // Every key and extra key, and texts one step away from them: cut short, lengthened, lower case,
    // with a blank, with an embedded zero byte.
    std::vector<std::string> prefixes = {"", " ", "/", "3Y/", "UA2/", std::string("DL\0", 3)};
    for (const DxccEntity& row : DxccEntityTable::Rows()) {
        for (std::string k : {std::string(row.key), std::string(row.extraKey)}) {
            if (k.empty()) continue;
            std::string lower = k;
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            for (const std::string& p : {k, k.substr(0, k.size() - 1), k + "A", k + "/a", lower, k + " ",
                                         " " + k, k + std::string(1, '\0')}) {
                prefixes.push_back(p);
            }
        }
    }
    for (const std::string& p : prefixes) {
        DxccMarks marks;
        marks.MarkWorked(p);
        size_t i = 0;
        for (const DxccEntity& row : DxccEntityTable::Rows()) {
            EXPECT_EQ(marks.Worked(i++), DxccEntityTable::Matches(row, p) ? 1 : 0) << '"' << p << "\" " << row.caption;
        }
    }
}

TEST(DxccMarks, FollowTheWorkedListWhateverItsOrderAndClearCompletely) {
    const std::vector<std::string> worked = {"DL", "E4", "K", "3Y", "UA2/f", "DL", "XX", "ZL9"};
    DxccMarks forward, backward;
    for (const std::string& p : worked) forward.MarkWorked(p);
    for (auto it = worked.rbegin(); it != worked.rend(); ++it) backward.MarkWorked(*it);
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(forward.MarkedCount(), 7u);  // DL, E4 twice, K, 3Y/b, UA2, ZL9

    DxccMarks again = forward;
    again.MarkWorked("DL");
    EXPECT_EQ(again, forward);

    forward.ClearMarks();
    EXPECT_EQ(forward.MarkedCount(), 0u);
    EXPECT_EQ(forward, DxccMarks());
    EXPECT_EQ(Ticked(forward), std::set<Box>());
}

TEST(DxccMarks, ABoxOutsideItsPageReadsUnticked) {
    DxccMarks marks;
    marks.MarkWorked("3D2");  // first box of OC, the row right after the last SA box
    EXPECT_EQ(marks.Worked(DxccPage::OC, 0), 1);
    EXPECT_EQ(marks.Worked(DxccPage::SA, 31), 0);
    EXPECT_EQ(marks.Worked(DxccPage::OC, 54), 0);
}

}  // namespace
