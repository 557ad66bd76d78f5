#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"
#include "country_file.h"
#include "dxcc/dxcc_entity_table.h"

namespace {

// The entities of the country file the tools resolve calls with (tests/data/country-file/README.md).
const char* const kCountryFile = STATS_SOURCE_DIR "/tests/data/country-file/cty-entities.dat";

const DxccPage kPages[] = {DxccPage::EU, DxccPage::AF, DxccPage::AS, DxccPage::NA, DxccPage::SA, DxccPage::OC};

using Box = std::pair<std::string, std::string>;  // page name, caption

std::set<Box> Ticked(const DxccMarks& marks) {
    std::set<Box> out;
    for (DxccPage page : kPages) {
        DxccRowRange rows = DxccEntityTable::PageRows(page);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (marks.Worked(page, i)) out.insert({DxccEntityTable::Page(page).name, rows[i].caption});
        }
    }
    return out;
}

std::set<Box> TickedBy(const std::string& prefix, bool waeCountries) {
    DxccMarks marks;
    marks.MarkWorked(prefix, waeCountries);
    return Ticked(marks);
}

TEST(DxccEntityTable, PagesInTabOrderEachSortedAndNumberedFrom1015) {
    const struct {
        const char* name;
        int templateId;
    } pages[] = {{"EU", 119}, {"AF", 118}, {"AS", 117}, {"NA", 122}, {"SA", 121}, {"OC", 120}};
    size_t total = 0;
    for (size_t k = 0; k < std::size(pages); ++k) {
        SCOPED_TRACE(pages[k].name);
        const DxccPageInfo& info = DxccEntityTable::Page(kPages[k]);
        EXPECT_STREQ(info.name, pages[k].name);
        EXPECT_EQ(info.templateId, pages[k].templateId);
        DxccRowRange rows = DxccEntityTable::PageRows(kPages[k]);
        ASSERT_GT(rows.size(), 0u);
        // The page's slice of the whole table is the page itself.
        EXPECT_EQ(rows.begin(), DxccEntityTable::Rows().begin() + total);
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].page, kPages[k]) << rows[i].caption;
            EXPECT_EQ(rows[i].controlId, 1015 + i) << rows[i].caption;
            EXPECT_STREQ(rows[i].key, rows[i].caption);
            if (i > 0) {
                EXPECT_LT(std::strcmp(rows[i - 1].caption, rows[i].caption), 0) << rows[i].caption;
            }
        }
        total += rows.size();
    }
    EXPECT_EQ(total, DxccEntityTable::Rows().size());
}

// Every entity of the country file, as the host of each contest names it (a WAE-only country, such as IT9, by its
// own prefix where the contest counts it and else by its DXCC entity's), ticks exactly one box, on the page of its
// continent, among the boxes that contest shows; every box shown is some entity's; and the window's title counts
// as many.
TEST(DxccEntityTable, EveryCountryOfTheCountryFileTicksOneBoxOfItsContinentInEachContest) {
    for (const contest::Record* record : {&contest::ArrlRttyRoundup(), &contest::CqWwRtty()}) {
        SCOPED_TRACE(record->name);
        const bool wae = record->waeCountries;
        replay::CountryFile cty;
        std::string error;
        ASSERT_TRUE(cty.Load(kCountryFile, error, wae)) << error;
        ASSERT_EQ(cty.EntityCount(), 346u);
        // The continent of each prefix the host gives: its own entity's.
        std::map<std::string, std::string> continentOf;
        for (const replay::CountryEntity& e : cty.Entities())
            if (wae || !e.waeOnly) continentOf[e.primaryPrefix] = e.continent;

        std::set<size_t> ticked;
        for (const replay::CountryEntity& e : cty.Entities()) {
            SCOPED_TRACE(e.name + " " + e.primaryPrefix);
            DxccMarks marks;
            marks.MarkWorked(e.primaryPrefix, wae);
            ASSERT_EQ(marks.MarkedCount(), 1u);
            size_t row = 0;
            while (!marks.Worked(row)) ++row;
            const DxccEntity& box = DxccEntityTable::Rows()[row];
            EXPECT_TRUE(DxccEntityTable::Shown(box, wae)) << box.caption;
            EXPECT_EQ(DxccEntityTable::Page(box.page).name, continentOf[e.primaryPrefix]) << box.caption;
            ticked.insert(row);
        }
        EXPECT_EQ(ticked.size(), DxccEntityTable::ShownCount(wae));
        EXPECT_EQ(static_cast<int>(DxccEntityTable::ShownCount(wae)), record->dxccEntityCount);
    }
}

// What a prefix ticks in a contest of DXCC entities (the Roundup) and in one that counts the WAE-only countries too
// (the CQ WW): a WAE-only country its own box or its DXCC entity's, an older country file's prefix the box of the
// entity it named.
TEST(DxccEntityTable, PrefixesTickTheBoxOfTheirCountryInEachContest) {
    const struct {
        const char* prefix;
        std::set<Box> dxcc, wae;
    } cases[] = {
        {"I", {{"EU", "I"}}, {{"EU", "I"}}},
        {"IT9", {{"EU", "I"}}, {{"EU", "IT9"}}},
        {"IT", {{"EU", "I"}}, {{"EU", "IT9"}}},
        {"IG9", {{"EU", "I"}}, {{"AF", "IG9"}}},
        {"GM/s", {{"EU", "GM"}}, {{"EU", "GM/s"}}},
        {"JW/b", {{"EU", "JW"}}, {{"EU", "JW/b"}}},
        {"4U1V", {{"EU", "OE"}}, {{"EU", "4U1V"}}},
        {"TA1", {{"AS", "TA"}}, {{"EU", "TA1"}}},
        {"1A0", {{"EU", "1A"}}, {{"EU", "1A"}}},
        {"3Y", {{"AF", "3Y/b"}}, {{"AF", "3Y/b"}}},
        {"3Y/b", {{"AF", "3Y/b"}}, {{"AF", "3Y/b"}}},
        {"3Y/p", {{"SA", "3Y/p"}}, {{"SA", "3Y/p"}}},
        {"UA2/f", {{"EU", "UA2"}}, {{"EU", "UA2"}}},
        {"E5", {{"OC", "E5/s"}}, {{"OC", "E5/s"}}},
        {"HK0", {{"SA", "HK0/m"}}, {{"SA", "HK0/m"}}},
        {"PY0P", {{"SA", "PY0S"}}, {{"SA", "PY0S"}}},
        {"VK0", {{"OC", "VK0M"}}, {{"OC", "VK0M"}}},
        // Palestine is in Asia and Egypt in Africa: one box each.
        {"E4", {{"AS", "E4"}}, {{"AS", "E4"}}},
        {"SU", {{"AF", "SU"}}, {{"AF", "SU"}}},
        // Entities no longer counted, and prefixes of no entity.
        {"KH5K", {}, {}},
        {"FO0", {}, {}},
        {"FT", {}, {}},
        {"VK9", {}, {}},
        {"IT9 ", {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TickedBy(c.prefix, false), c.dxcc) << c.prefix;
        EXPECT_EQ(TickedBy(c.prefix, true), c.wae) << c.prefix;
    }
}

TEST(DxccEntityTable, PrefixesMatchWholeKeysOnlyAndCaseSensitively) {
    const struct {
        const char* prefix;
        std::set<Box> boxes;
    } cases[] = {
        {"UA2", {{"EU", "UA2"}}},
        {"UA2/F", {}},
        {"ua2", {}},
        {"FT/z", {{"AF", "FT/z"}}},
        {"FT/Z", {}},
        {"VK9M", {{"OC", "VK9M"}}},
        {"DL", {{"EU", "DL"}}},
        {"dl", {}},
        {"DL1ABC", {}},
        {" DL", {}},
        {"DL ", {}},
        {"A9", {{"AS", "A9"}}},
        {"", {}},
        {"K", {{"NA", "K"}}},
        {"VE", {{"NA", "VE"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(TickedBy(c.prefix, true), c.boxes) << '"' << c.prefix << '"';
}

TEST(DxccEntityTable, MarkingAgreesWithTheMatchRuleOnNearMisses) {
    // Every key and extra key, and texts one step away from them: cut short, lengthened, lower case,
    // with a blank, with an embedded zero byte. Where every row is shown, a prefix ticks the rows it matches.
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
        marks.MarkWorked(p, true);
        size_t i = 0;
        for (const DxccEntity& row : DxccEntityTable::Rows()) {
            EXPECT_EQ(marks.Worked(i++), DxccEntityTable::Matches(row, p) ? 1 : 0) << '"' << p << "\" " << row.caption;
        }
    }
}

TEST(DxccMarks, FollowTheWorkedListWhateverItsOrderAndClearCompletely) {
    const std::vector<std::string> worked = {"DL", "IT9", "K", "3Y", "UA2/f", "DL", "XX", "ZL9", "I"};
    DxccMarks forward, backward;
    for (const std::string& p : worked) forward.MarkWorked(p, false);
    for (auto it = worked.rbegin(); it != worked.rend(); ++it) backward.MarkWorked(*it, false);
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(forward.MarkedCount(), 6u);  // DL, I (IT9 with it), K, 3Y/b, UA2, ZL9

    DxccMarks again = forward;
    again.MarkWorked("DL", false);
    EXPECT_EQ(again, forward);

    forward.ClearMarks();
    EXPECT_EQ(forward.MarkedCount(), 0u);
    EXPECT_EQ(forward, DxccMarks());
    EXPECT_EQ(Ticked(forward), std::set<Box>());
}

TEST(DxccMarks, ABoxOutsideItsPageReadsUnticked) {
    DxccMarks marks;
    marks.MarkWorked("3D2", true);  // first box of OC, the row right after the last SA box
    EXPECT_EQ(marks.Worked(DxccPage::OC, 0), 1);
    EXPECT_EQ(marks.Worked(DxccPage::SA, DxccEntityTable::PageRows(DxccPage::SA).size()), 0);
    EXPECT_EQ(marks.Worked(DxccPage::OC, DxccEntityTable::PageRows(DxccPage::OC).size()), 0);
}

}  // namespace
