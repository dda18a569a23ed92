#include "wolf/ContentsGrouping.h"

#include <algorithm>

namespace bookloom {

namespace {

// The entries as a tree: an entry's parent is the last entry before it of a smaller kind.
struct Node {
  const ContentsItem* item = nullptr;  // null for the root
  std::vector<Node> children;

  size_t Count() const {
    size_t n = 1;
    for (const Node& c : children) n += c.Count();
    return n;
  }
};

Node TreeOf(const std::vector<ContentsItem>& items) {
  Node root;
  std::vector<Node*> path = {&root};
  for (const ContentsItem& item : items) {
    while (path.size() > 1 && path.back()->item->kind >= item.kind) path.pop_back();
    path.back()->children.push_back({&item, {}});
    // The pointers into a parent's children stay valid: only the last child grows further.
    path.push_back(&path.back()->children.back());
  }
  return root;
}

// "7", or "1–255" with an en dash (Windows-1251 0x96).
std::string GroupTitle(size_t first, size_t last) {
  return first == last ? std::to_string(first) : std::to_string(first) + "\x96" + std::to_string(last);
}

class Grouper {
 public:
  explicit Grouper(std::vector<ContentsItem>& out) : out_(out) {}

  // Writes the node's children, each `shift` kinds deeper than it was given (at most the third).
  void Place(const Node& node, int shift) {
    const std::vector<Node>& children = node.children;
    if (children.size() <= kMostEntriesUnderOne || children.front().item->kind + shift >= 3) {
      for (const Node& child : children) Put(child, shift);
      return;
    }
    // Children under a group at the third kind take their own children beside them.
    const bool flattened = children.front().item->kind + shift + 1 >= 3;
    for (size_t first = 0; first < children.size();) {
      size_t last = first, held = 0;
      for (; last < children.size(); ++last) {
        const size_t adds = flattened ? children[last].Count() : 1;
        if (last > first && (last - first == kMostEntriesUnderOne || held + adds > kMostEntriesUnderOne))
          break;
        held += adds;
      }
      const ContentsItem& head = *children[first].item;
      out_.push_back({head.kind + shift, GroupTitle(first + 1, last), head.position});
      for (size_t i = first; i < last; ++i) Put(children[i], shift + 1);
      first = last;
    }
  }

 private:
  void Put(const Node& node, int shift) {
    out_.push_back({std::min(node.item->kind + shift, 3), node.item->title, node.item->position});
    Place(node, shift);
  }

  std::vector<ContentsItem>& out_;
};

}  // namespace

std::vector<ContentsItem> GroupedContents(const std::vector<ContentsItem>& items) {
  std::vector<ContentsItem> out;
  out.reserve(items.size());
  Grouper(out).Place(TreeOf(items), 0);
  return out;
}

}  // namespace bookloom
