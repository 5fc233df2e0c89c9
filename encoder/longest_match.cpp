#include "encoder/longest_match.h"

#include <cstdint>

#include "decoder/dictionary.h"

namespace {

// How many bytes a match at the front of `available` bytes may take.
inline int32_t MatchReach(size_t available)
{
    return available < static_cast<size_t>(MAX_STRING_LENGTH) ? static_cast<int32_t>(available) : MAX_STRING_LENGTH;
}

// The deepest entry below `limit` (256 + the width threshold) on the trie
// path along input (available >= 1), at most MAX_STRING_LENGTH bytes; the
// literal input[0] when no string entry qualifies. Its length goes to *length.
int32_t DeepestNameable(int32_t limit, const uint8_t* input, size_t available, int32_t* length)
{
    const size_t reach = static_cast<size_t>(MatchReach(available));
    int32_t node = input[0];
    int32_t best = node;
    int32_t bestLength = 1;
    for (size_t j = 1; j < reach; ++j) {
        node = FindChild(node, input[j]);
        if (node == NO_ENTRY) {
            break;
        }
        if (node < limit) {
            best = node;
            bestLength = static_cast<int32_t>(j + 1);
        }
    }
    *length = bestLength;
    return best;
}

}  // namespace

int32_t FindLongestNameableMatch(const CodeStep& step, const uint8_t* input, size_t available, int32_t* matchLength)
{
    return DeepestNameable(LITERAL_COUNT + step.widthThreshold, input, available, matchLength);
}

namespace {

// The longest trie match at input (available >= 1) that continues from
// node, whose string is input's first depth bytes.
int32_t WalkFrom(int32_t node, int32_t depth, const uint8_t* input, size_t available, int32_t* terminal)
{
    const int32_t reach = MatchReach(available);
    while (depth < reach) {
        const int32_t child = FindChild(node, input[depth]);
        if (child == NO_ENTRY) {
            break;
        }
        node = child;
        depth += 1;
    }
    *terminal = node;
    return depth;
}

inline size_t Slot(uint64_t position)
{
    return static_cast<size_t>(position % PLAN_RING);
}

// The cheapest cost from position to the horizon; past it the tail price.
inline int32_t CostAt(const ParsePlan& plan, uint64_t position)
{
    return position < plan.horizon ? plan.cost[Slot(position)]
                                   : PLAN_TAIL_COST * static_cast<int32_t>(plan.horizon + MAX_STRING_LENGTH - position);
}

// Walks the match at position (j bytes past front) from node, whose string
// is its first `from` bytes, and keeps it, with the count of its entry.
inline void KeepMatch(ParsePlan* plan, uint64_t position, size_t j, int32_t node, int32_t from, const uint8_t* input,
                      size_t available)
{
    const size_t slot = Slot(position);
    int32_t terminal = NO_ENTRY;
    plan->depth[slot] = WalkFrom(node, from, input + j, available - j, &terminal);
    plan->terminal[slot] = terminal;
    plan->endingAt[terminal] += 1;
}

inline int32_t GrowthBonus(int32_t length)
{
    return PLAN_GROWTH_BONUS + PLAN_GROWTH_PER_BYTE * length;
}

}  // namespace

void ResetParsePlan(ParsePlan* plan)
{
    plan->front = 0;
    plan->horizon = 0;
    plan->dirty = 0;
    plan->codeWidth = 0;
    plan->stepParent = NO_ENTRY;
    plan->staleCount = 0;
    for (int32_t entry = 0; entry < DICTIONARY_SIZE; ++entry) {
        plan->endingAt[entry] = 0;
        plan->newChild[entry] = false;
    }
}

int32_t FindPlannedMatch(ParsePlan* plan, const CodeStep& step, const uint8_t* input, size_t available, int32_t* matchLength)
{
    const int32_t literalCost = 9 * BIT_COST;
    const int32_t indexCost = (1 + step.codeWidth) * BIT_COST;
    const uint64_t front = plan->front;

    // Matches a step may have changed: walked on from where they ended.
    for (int32_t i = 0; i < plan->staleCount; ++i) {
        const uint64_t position = plan->front + static_cast<uint64_t>(plan->stale[i]);
        const size_t slot = Slot(position);
        const size_t j = static_cast<size_t>(position - front);
        const int32_t before = plan->depth[slot];
        plan->endingAt[plan->terminal[slot]] -= 1;
        if (before < 0) {
            // Its entry was given a new string: walk again from the start.
            KeepMatch(plan, position, j, input[j], 1, input, available);
        } else {
            KeepMatch(plan, position, j, plan->terminal[slot], before, input, available);
        }
        if (plan->depth[slot] != (before < 0 ? -before : before) && position > plan->dirty) {
            plan->dirty = position;
        }
    }
    plan->staleCount = 0;

    // Move the horizon when it comes near; the new positions get their
    // matches and every cost is worked out again.
    const uint64_t farthest = front + (available < static_cast<size_t>(PLAN_MAX_AHEAD) ? available : PLAN_MAX_AHEAD);
    if (plan->horizon < front + PLAN_MIN_AHEAD && farthest > plan->horizon) {
        for (uint64_t position = plan->horizon > front ? plan->horizon : front; position < farthest; ++position) {
            const size_t j = static_cast<size_t>(position - front);
            KeepMatch(plan, position, j, input[j], 1, input, available);
        }
        plan->horizon = farthest;
        plan->dirty = farthest - 1;
    }

    // A wider code changes every cost.
    if (plan->codeWidth != step.codeWidth && plan->horizon > front) {
        plan->dirty = plan->horizon - 1;
    }
    plan->codeWidth = step.codeWidth;

    // Costs from the highest changed position back to the one after front,
    // each the cheapest of the codes there (a literal, index codes of 2 to
    // depth bytes), the whole match less its GrowthBonus.
    for (uint64_t position = plan->dirty; position > front; --position) {
        const int32_t depth = plan->depth[Slot(position)];
        int32_t best = literalCost + CostAt(*plan, position + 1) - (depth == 1 ? GrowthBonus(1) : 0);
        for (int32_t length = 2; length <= depth; ++length) {
            const int32_t cost = indexCost + CostAt(*plan, position + static_cast<uint64_t>(length)) -
                                 (length == depth ? GrowthBonus(length) : 0);
            if (cost < best) {
                best = cost;
            }
        }
        plan->cost[Slot(position)] = best;
    }
    plan->dirty = front;

    // The first code: only entries this code can name, the longest of the
    // cheapest; the whole match (named or not) less its GrowthBonus.
    const int32_t limit = LITERAL_COUNT + step.widthThreshold;
    const int32_t reach = MatchReach(available);
    const int32_t unnamed = INT32_MAX;
    int32_t entries[MAX_STRING_LENGTH + 1];
    int32_t costs[MAX_STRING_LENGTH + 1];
    entries[1] = input[0];
    costs[1] = literalCost + CostAt(*plan, front + 1);
    int32_t deepest = 1;
    for (int32_t length = 2; length <= reach; ++length) {
        const int32_t node = FindChild(entries[length - 1], input[length - 1]);
        if (node == NO_ENTRY) {
            break;
        }
        entries[length] = node;
        costs[length] = node < limit ? indexCost + CostAt(*plan, front + static_cast<uint64_t>(length)) : unnamed;
        deepest = length;
    }
    if (costs[deepest] != unnamed) {
        costs[deepest] -= GrowthBonus(deepest);
    }
    int32_t best = entries[1];
    int32_t bestLength = 1;
    for (int32_t length = 2; length <= deepest; ++length) {
        if (costs[length] <= costs[bestLength]) {
            best = entries[length];
            bestLength = length;
        }
    }
    *matchLength = bestLength;
    return best;
}

void NoteStepStart(ParsePlan* plan, const CodeStep& step)
{
    plan->stepParent = step.prevCode;
    if (step.prevCode != NO_ENTRY) {
        for (int32_t w = 0; w < CHILD_WORDS; ++w) {
            plan->rowBefore[w] = dictionaryIndex.childBits[step.prevCode][w];
        }
    }
}

void NoteStepEnd(ParsePlan* plan, int32_t length)
{
    const uint64_t left = plan->front + static_cast<uint64_t>(length);
    for (uint64_t position = plan->front; position < left && position < plan->horizon; ++position) {
        plan->endingAt[plan->terminal[Slot(position)]] -= 1;
    }
    plan->front = left;
    if (plan->horizon < plan->front) {
        plan->horizon = plan->front;
    }
    if (plan->dirty < plan->front) {
        plan->dirty = plan->front;
    }
    const int32_t parent = plan->stepParent;
    if (parent == NO_ENTRY) {
        return;
    }
    int32_t added[LITERAL_COUNT];
    int32_t addedCount = 0;
    for (int32_t w = 0; w < CHILD_WORDS; ++w) {
        uint64_t fresh = dictionaryIndex.childBits[parent][w] & ~plan->rowBefore[w];
        while (fresh != 0) {
            const int32_t b = w * 64 + __builtin_ctzll(fresh);
            fresh &= fresh - 1;
            added[addedCount++] = FindChild(parent, b);
        }
    }
    // The matches to look at again: those that end at the parent, which may
    // go on into a new child, and those that end at a reused entry (now a
    // new child), walked again from the start, their old depth kept negated.
    int32_t affected = addedCount == 0 ? 0 : plan->endingAt[parent];
    for (int32_t i = 0; i < addedCount; ++i) {
        plan->newChild[added[i]] = true;
        affected += plan->endingAt[added[i]];
    }
    for (uint64_t position = plan->front; affected > 0 && position < plan->horizon; ++position) {
        const size_t slot = Slot(position);
        const int32_t terminal = plan->terminal[slot];
        if (terminal == parent || plan->newChild[terminal]) {
            if (terminal != parent) {
                plan->depth[slot] = -plan->depth[slot];
            }
            plan->stale[plan->staleCount++] = static_cast<int32_t>(position - plan->front);
            affected -= 1;
        }
    }
    for (int32_t i = 0; i < addedCount; ++i) {
        plan->newChild[added[i]] = false;
    }
}
