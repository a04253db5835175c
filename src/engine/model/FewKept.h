#pragma once
// A handful of values kept by key, for what the layout and the writer are asked again and
// again about the few formats a document uses. A look walks at most `Bound` entries, and a
// full table starts afresh rather than weighing what to drop: a document with a format on
// every run costs a miss each time, never more memory. Not locked: one per thread.

#include <cstddef>
#include <utility>
#include <vector>

namespace wordengine {

template <class Key, class Value, std::size_t Bound = 32> class FewKept {
public:
    const Value* find(const Key& key) const {
        for (const auto& [known, value] : entries)
            if (known == key)
                return &value;
        return nullptr;
    }
    // Valid until the next keep().
    const Value& keep(const Key& key, Value value) {
        if (entries.size() == Bound)
            entries.clear();
        return entries.emplace_back(key, std::move(value)).second;
    }
    // The value kept for `key`, made by `make()` and kept when there is none.
    template <class Make> const Value& get(const Key& key, Make&& make) {
        if (const Value* value = find(key))
            return *value;
        return keep(key, make());
    }

private:
    std::vector<std::pair<Key, Value>> entries;
};

} // namespace wordengine
