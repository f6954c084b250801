#include "model/history.hpp"

namespace vx {

void History::add(std::string code) {
    if (!codes_.empty()) codes_.erase(codes_.begin() + static_cast<long>(pos_) + 1, codes_.end());
    codes_.push_back(std::move(code));
    if (codes_.size() > kLimit) codes_.pop_front();
    pos_ = codes_.size() - 1;
}

const std::string* History::back() {
    if (codes_.empty() || pos_ == 0) return nullptr;
    return &codes_[--pos_];
}

const std::string* History::forward() {
    if (pos_ + 1 >= codes_.size()) return nullptr;
    return &codes_[++pos_];
}

const std::string* History::current() const {
    return codes_.empty() ? nullptr : &codes_[pos_];
}

} // namespace vx
