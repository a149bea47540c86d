// Random edit sequences checked step by step against a plain model of what
// the document shows: undo back to any earlier state gives exactly that state,
// redo gives the later ones back, and a saved and reopened document shows the
// same.
#include "history_support.h"

#include "model/clipboard.h"
#include "model/docfile.h"
#include "model/groups.h"

#include <map>
#include <random>
#include <set>

using namespace model;
using namespace testsupport;

namespace {

// One shown item as the plain model keeps it.
struct refItem {
    int32_t label = 0;
    int32_t type = 0;
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t group = 0;   // 0 = not grouped; otherwise any key shared by the members
    uint64_t seq = 0;    // order of the items' latest versions in the list
    bool operator==(const refItem&) const = default;
};

// What a document shows, back to front.
using refView = std::vector<refItem>;

// Exact fields of the shown items, by label, for comparing after undo and redo.
struct shown {
    int32_t label, type, x1, y1, x2, y2, groupId, zOrder;
    bool operator==(const shown&) const = default;
};

struct state {
    refView view;
    std::vector<shown> exact;
};

std::vector<item_t*> shownItems(const itemList_t& list)
{
    std::vector<item_t*> v;
    for (item_t* it = list.head; it; it = it->next)
        if (it->kind == kindItem && !it->hidden && isStackable(it)) v.push_back(it);
    std::stable_sort(v.begin(), v.end(), [](const item_t* a, const item_t* b) { return a->zOrder < b->zOrder; });
    return v;
}

std::vector<shown> exactOf(const itemList_t& list)
{
    std::vector<shown> v;
    for (const item_t* it : shownItems(list))
        v.push_back({it->reserved8, it->itemType, it->x1, it->y1, it->x2, it->y2, it->groupId, it->zOrder});
    std::sort(v.begin(), v.end(), [](const shown& a, const shown& b) { return a.label < b.label; });
    return v;
}

// Group membership written as the smallest label of each group, so that two
// views with different group ids but the same grouping compare equal.
std::vector<int32_t> groupingOf(const std::vector<std::pair<int32_t, int32_t>>& labelGroup)
{
    std::map<int32_t, int32_t> least;
    for (auto [label, g] : labelGroup)
        if (g > 0) least[g] = least.count(g) ? std::min(least[g], label) : label;
    std::vector<int32_t> out;
    for (auto [label, g] : labelGroup) out.push_back(g > 0 ? least[g] : 0);
    return out;
}

// Compares a document with the plain model: items back to front, their type
// and defining points, and who is grouped with whom.
::testing::AssertionResult matches(const itemList_t& list, const refView& ref)
{
    const auto items = shownItems(list);
    if (items.size() != ref.size())
        return ::testing::AssertionFailure() << items.size() << " items shown, model has " << ref.size();
    std::vector<std::pair<int32_t, int32_t>> gotGroups, wantGroups;
    for (size_t i = 0; i < items.size(); ++i) {
        const item_t* it = items[i];
        const refItem& r = ref[i];
        if (it->reserved8 != r.label || it->itemType != r.type || it->x1 != r.x1 || it->y1 != r.y1 ||
            it->x2 != r.x2 || it->y2 != r.y2)
            return ::testing::AssertionFailure() << "place " << i << ": item " << it->reserved8 << " type "
                                                 << it->itemType << " at " << it->x1 << "," << it->y1
                                                 << ", model has item " << r.label << " at " << r.x1 << ","
                                                 << r.y1;
        gotGroups.push_back({it->reserved8, it->groupId});
        wantGroups.push_back({r.label, r.group});
    }
    if (groupingOf(gotGroups) != groupingOf(wantGroups)) return ::testing::AssertionFailure() << "grouping differs";
    // No two shown records share a place in the stacking order.
    std::set<int32_t> places;
    for (const item_t* it = list.head; it; it = it->next)
        if (it->kind == kindItem && !it->hidden && it->zOrder > 0 && !places.insert(it->zOrder).second)
            return ::testing::AssertionFailure() << "two records at zOrder " << it->zOrder;
    return ::testing::AssertionSuccess();
}

class randomEditor {
public:
    explicit randomEditor(uint32_t seed) : rng(seed)
    {
        newDoc(doc);
        states.push_back({{}, exactOf(doc)});
    }
    ~randomEditor()
    {
        freeList(doc);
        freeList(clip);
    }

    itemList_t doc, clip;
    std::mt19937 rng;
    std::vector<state> states;
    size_t cur = 0;
    refView clipRef;  // the copied items, back to front
    int32_t nextLabel = 1000;
    int32_t nextKey = 1;
    uint64_t nextSeq = 1;
    int undos = 0, redos = 0, actions = 0;

    int32_t pick(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); }
    refView& view() { return view_; }

    void step()
    {
        const int32_t r = pick(0, 99);
        if (r < 22) create();
        else if (r < 36) edit();
        else if (r < 43) erase();
        else if (r < 48) restack(true);
        else if (r < 53) restack(false);
        else if (r < 60) join();
        else if (r < 64) split();
        else if (r < 68) copy();
        else if (r < 74) paste();
        else if (r < 88) {
            for (int n = pick(1, 4); n > 0 && !::testing::Test::HasFatalFailure(); --n) undoStep();
        } else if (r < 99) {
            for (int n = pick(1, 3); n > 0 && !::testing::Test::HasFatalFailure(); --n) redoStep();
        }
        else clear();
        ASSERT_TRUE(matches(doc, view_));
        ASSERT_EQ(canUndo(doc), cur > 0);
        ASSERT_EQ(canRedo(doc), cur + 1 < states.size());
        ASSERT_TRUE(idCacheConsistent(doc));
        ASSERT_TRUE(historyIndexConsistent(doc));
    }

    void undoAll()
    {
        while (cur > 0) undoStep();
        ASSERT_FALSE(undo(doc));
    }
    void redoAll()
    {
        while (cur + 1 < states.size()) redoStep();
        ASSERT_FALSE(redo(doc));
    }
    const state& at(size_t i) const { return states[i]; }

private:
    refView view_;

    item_t* itemOf(int32_t label)
    {
        for (item_t* it : shownItems(doc))
            if (it->reserved8 == label) return it;
        return nullptr;
    }
    refItem* refOf(int32_t label)
    {
        for (refItem& r : view_)
            if (r.label == label) return &r;
        return nullptr;
    }

    // Labels of 1..n random shown items.
    std::vector<int32_t> someLabels(int32_t most)
    {
        std::vector<int32_t> all;
        for (const refItem& r : view_) all.push_back(r.label);
        std::shuffle(all.begin(), all.end(), rng);
        all.resize(std::min<size_t>(all.size(), size_t(pick(1, most))));
        return all;
    }

    // Selects the items as a user clicking them would: a grouped item brings
    // its whole group and the group's handle along. Returns the labels selected.
    std::vector<int32_t> selectUnits(std::vector<int32_t> labels)
    {
        std::set<int32_t> groups;
        std::vector<item_t*> sel;
        std::set<int32_t> chosen(labels.begin(), labels.end());
        for (int32_t l : labels)
            if (item_t* it = itemOf(l); it && it->groupId > 0) groups.insert(it->groupId);
        for (item_t* it = doc.head; it; it = it->next) {
            if (it->kind != kindItem || it->hidden) continue;
            const bool member = groups.count(it->groupId) && it->groupId > 0;
            if (isStackable(it) && (chosen.count(it->reserved8) || member)) sel.push_back(it);
            else if (it->itemType == typeGroupHandle && member) sel.push_back(it);
        }
        selectItems(doc, sel);
        std::vector<int32_t> out;
        for (item_t* it : sel)
            if (isStackable(it)) out.push_back(it->reserved8);
        return out;
    }

    // Model items for the labels, in the order of their latest versions in the list.
    std::vector<refItem*> inListOrder(const std::vector<int32_t>& labels)
    {
        std::vector<refItem*> v;
        for (int32_t l : labels) v.push_back(refOf(l));
        std::sort(v.begin(), v.end(), [](const refItem* a, const refItem* b) { return a->seq < b->seq; });
        return v;
    }
    void newVersions(const std::vector<refItem*>& items)
    {
        for (refItem* r : items) r->seq = nextSeq++;
    }

    void recorded()
    {
        ++actions;
        states.resize(cur + 1);
        states.push_back({view_, exactOf(doc)});
        ++cur;
    }

    void create()
    {
        static const int32_t types[] = {typeLine, typeRectangle, typeText, typeEllipse};
        const int32_t type = types[pick(0, 3)];
        item_t* it = draw(doc, type, pick(0, 500), pick(0, 500), pick(1, 80), pick(1, 80));
        it->reserved8 = ++nextLabel;
        view_.push_back({it->reserved8, type, it->x1, it->y1, it->x2, it->y2, 0, nextSeq++});
        recorded();
    }

    void edit()
    {
        if (view_.empty()) return create();
        std::vector<int32_t> labels = someLabels(3);
        selectItems(doc, [&] {
            std::vector<item_t*> v;
            for (int32_t l : labels) v.push_back(itemOf(l));
            return v;
        }());
        const int32_t dx = pick(-30, 30), dy = pick(-30, 30);
        for (item_t* v : beginEdit(doc)) {
            v->x1 = v->refX1 + dx;
            v->x2 = v->refX2 + dx;
            v->y1 = v->refY1 + dy;
            v->y2 = v->refY2 + dy;
            computeMeasure(v);
        }
        auto refs = inListOrder(labels);
        for (refItem* r : refs) {
            r->x1 += dx;
            r->x2 += dx;
            r->y1 += dy;
            r->y2 += dy;
        }
        newVersions(refs);
        recorded();
    }

    void erase()
    {
        if (view_.empty()) return create();
        const std::vector<int32_t> labels = someLabels(2);
        std::vector<item_t*> v;
        for (int32_t l : labels) v.push_back(itemOf(l));
        selectItems(doc, v);
        ASSERT_EQ(eraseSelection(doc), int32_t(labels.size()));
        for (int32_t l : labels)
            view_.erase(std::find_if(view_.begin(), view_.end(), [&](const refItem& r) { return r.label == l; }));
        recorded();
    }

    void restack(bool toBack)
    {
        if (view_.empty()) return create();
        const std::vector<int32_t> labels = someLabels(3);
        std::vector<item_t*> v;
        for (int32_t l : labels) v.push_back(itemOf(l));
        selectItems(doc, v);
        ASSERT_EQ(toBack ? sendToBack(doc) : bringToFront(doc), int32_t(labels.size()));
        std::vector<int32_t> order;
        for (const refItem* r : inListOrder(labels)) order.push_back(r->label);
        for (int32_t l : order) {
            refItem* r = refOf(l);
            refItem moved = *r;
            moved.seq = nextSeq++;
            view_.erase(view_.begin() + (r - view_.data()));
            if (toBack) view_.insert(view_.begin(), moved);
            else view_.push_back(moved);
        }
        recorded();
    }

    void join()
    {
        if (view_.size() < 2) return create();
        const auto labels = selectUnits(someLabels(3));
        if (countSelectionUnits(doc, true) < 2) return;
        ASSERT_NE(joinItems(doc), nullptr);
        const int32_t key = nextKey++;
        auto refs = inListOrder(labels);
        for (refItem* r : refs) r->group = key;
        newVersions(refs);
        recorded();
    }

    void split()
    {
        std::vector<int32_t> grouped;
        for (const refItem& r : view_)
            if (r.group) grouped.push_back(r.label);
        if (grouped.empty()) return join();
        const auto labels = selectUnits({grouped[size_t(pick(0, int32_t(grouped.size()) - 1))]});
        splitGroup(doc);
        auto refs = inListOrder(labels);
        for (refItem* r : refs) r->group = 0;
        newVersions(refs);
        recorded();
    }

    void copy()
    {
        if (view_.empty()) return create();
        const auto labels = selectUnits(someLabels(3));
        copySelection(doc, clip);
        clipRef.clear();
        for (const refItem& r : view_)
            if (std::find(labels.begin(), labels.end(), r.label) != labels.end()) clipRef.push_back(r);
    }

    void paste()
    {
        if (clipRef.empty()) return copy();
        auto pasted = pasteClipboard(doc, clip);
        ASSERT_EQ(pasted.size(), clipRef.size());
        std::map<int32_t, int32_t> keys;
        for (size_t i = 0; i < pasted.size(); ++i) {
            pasted[i]->reserved8 = ++nextLabel;
            refItem r = clipRef[i];
            r.label = pasted[i]->reserved8;
            r.x1 += 10;
            r.y1 += 10;
            r.x2 += 10;
            r.y2 += 10;
            if (r.group) {
                if (!keys.count(r.group)) keys[r.group] = nextKey++;
                r.group = keys[r.group];
            }
            r.seq = nextSeq++;
            view_.push_back(r);
        }
        recorded();
    }

    void undoStep()
    {
        if (cur == 0) {
            ASSERT_FALSE(undo(doc));
            return;
        }
        ASSERT_TRUE(undo(doc));
        --cur;
        ++undos;
        view_ = states[cur].view;
        ASSERT_EQ(exactOf(doc), states[cur].exact) << "undo to state " << cur;
    }

    void redoStep()
    {
        if (cur + 1 >= states.size()) {
            ASSERT_FALSE(redo(doc));
            return;
        }
        ASSERT_TRUE(redo(doc));
        ++cur;
        ++redos;
        view_ = states[cur].view;
        ASSERT_EQ(exactOf(doc), states[cur].exact) << "redo to state " << cur;
    }

    void clear()
    {
        clearHistory(doc);
        // Group ids may be renumbered; the grouping stays.
        states = {{view_, exactOf(doc)}};
        cur = 0;
    }
};

// Saves the document and reads it back; the copy must show the same.
void expectSurvivesSaving(randomEditor& e, const tempDir& dir)
{
    const std::string name = dir.file("random.lmra");
    std::string error;
    ASSERT_TRUE(writeDocument(name, e.doc, &error)) << error;
    itemList_t back;
    scriptedQuestions q;
    ASSERT_TRUE(readDocument(name, back, q, &error)) << error;
    EXPECT_TRUE(matches(back, e.view()));
    EXPECT_EQ(exactOf(back), exactOf(e.doc));
    EXPECT_FALSE(canUndo(back));
    EXPECT_FALSE(canRedo(back));
    freeList(back);
}

class HistoryProperty : public ::testing::TestWithParam<uint32_t> {};

TEST_P(HistoryProperty, RandomEditsMatchThePlainModel)
{
    randomEditor e(GetParam());
    tempDir dir;
    for (int i = 0; i < 3000; ++i) {
        e.step();
        if (::testing::Test::HasFatalFailure()) FAIL() << "at step " << i << " (seed " << GetParam() << ")";
        if (i % 750 == 749) expectSurvivesSaving(e, dir);
    }
    EXPECT_GT(e.undos, 300);
    EXPECT_GT(e.redos, 50);
    expectSurvivesSaving(e, dir);

    // All the way back and forth again.
    const size_t last = e.states.size() - 1;
    e.undoAll();
    EXPECT_EQ(exactOf(e.doc), e.at(0).exact);
    EXPECT_TRUE(matches(e.doc, e.at(0).view));
    e.redoAll();
    EXPECT_EQ(exactOf(e.doc), e.at(last).exact);
    EXPECT_TRUE(matches(e.doc, e.at(last).view));
    EXPECT_TRUE(historyIndexConsistent(e.doc));
}

INSTANTIATE_TEST_SUITE_P(Seeds, HistoryProperty, ::testing::Values(1u, 2u, 3u, 20261209u),
                         [](const auto& info) { return "Seed" + std::to_string(info.param); });

} // namespace
