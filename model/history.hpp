#pragma once
// The drawings of a session, as codes, to go back and forward through as a browser does.
#include <cstddef>
#include <deque>
#include <string>

namespace vx {

class History {
  public:
    static constexpr size_t kLimit = 500;

    // A new drawing: what lay ahead of the current one is dropped, and the oldest beyond the
    // limit too.
    void add(std::string code);
    // Moves back or forward one drawing; nullptr (and no move) at either end.
    const std::string* back();
    const std::string* forward();
    // The drawing now shown, or nullptr before the first.
    const std::string* current() const;
    // Whether back() or forward() would move.
    bool canGoBack() const { return pos_ > 0; }
    bool canGoForward() const { return pos_ + 1 < codes_.size(); }
    size_t size() const { return codes_.size(); }

  private:
    std::deque<std::string> codes_;
    size_t pos_ = 0; // index of the current drawing
};

} // namespace vx
