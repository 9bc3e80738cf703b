#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/ChildIndex.h"
#include "model/ResourceItem.h"

using namespace quillon;

// The index must give FindChild's answer for every look-up, whatever the IDs:
// repeated ones (the first child wins), negative ones, the "no ID" values
// that are told apart by text, and enough children to grow the table often.
TEST(ChildIndex, AgreesWithFindChildWhileChildrenAreAppended) {
    CResourceItem parent;
    ChildIndex index(parent);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(-40, 3000);
    for (int n = 0; n < 6000; ++n) {
        int roll = pick(random);
        // Every fifth ID shares its bit in the index with a smaller one.
        std::int32_t id = roll < -30 ? -1 : roll < -20 ? 65535 : roll % 5 == 0 ? roll + (1 << 20) : roll;
        std::string text = "text " + std::to_string(roll % 7);
        ASSERT_EQ(index.Find(text, id), parent.FindChild(text, id)) << "before child " << n << ", id " << id;
        parent.AddChild(std::make_unique<CStringEntry>(text, 0, id));
    }
    for (std::int32_t id : {-5, -1, 0, 1, 2999, 3000, 65535, 100000, 1 << 20, (1 << 20) + 7})
        for (const char* text : {"text 0", "text 3", "other"})
            EXPECT_EQ(index.Find(text, id), parent.FindChild(text, id)) << id << " " << text;
}
