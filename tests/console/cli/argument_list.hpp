// A writable argument vector for driving the matcher, addressed from its end.
#pragma once

#include "console/cli/registry.hpp"

#include <string>
#include <vector>

namespace vistrel {

class argument_list {
public:
    // The words after the program name; `program` plays argv[0].
    explicit argument_list(std::vector<std::string> words, std::string program = "vistrel")
    {
        texts_.push_back(std::move(program));
        texts_.insert(texts_.end(), words.begin(), words.end());
        for (auto& text : texts_) {
            pointers_.push_back(text.data());
        }
        pointers_.push_back(nullptr);
    }

    int argc() const { return static_cast<int>(texts_.size()); }
    char** argv() { return pointers_.data(); }
    arg_vector end() { return pointers_.data() + argc(); }
    // The cursor at the first word after the program name.
    arg_cursor first() const { return 1 - argc(); }
    // The word an element of the vector points at now.
    std::string word(arg_cursor cursor) { return end()[cursor]; }
    // Where that element pointed at first.
    const char* original(arg_cursor cursor) const { return texts_[texts_.size() + cursor].data(); }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
};

}  // namespace vistrel
