#pragma once
// The names of one kind of node in a graph, looked up in constant time. A name
// maps to the nodes that have it in registry order (project text may give two
// nodes one name; a lookup finds the first in registry order, as a scan of the
// registry would). The graph keeps it exact through every addition, rename and
// deletion of its nodes.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace qv {

template <typename Node>
class NameIndex {
 public:
  /// The first node named name in registry order, or null.
  Node* First(const std::string& name) const {
    const auto at = buckets_.find(name);
    return at == buckets_.end() ? nullptr : at->second.First;
  }
  /// Whether a node other than self is named name.
  bool TakenByAnother(const std::string& name, const void* self) const {
    const auto at = buckets_.find(name);
    return at != buckets_.end() && (!at->second.More.empty() || at->second.First != self);
  }

  /// Adds node, which registry holds, under its Name at its registry place.
  void Add(Node* node, const std::vector<Node*>& registry) {
    Bucket& bucket = buckets_[node->Name()];
    if (!bucket.First) {
      bucket.First = node;
    } else if (registry.back() == node) {
      bucket.More.push_back(node);  // the common case: the node was added last
    } else {
      // A name given to an earlier node: one pass over the registry puts the
      // bucket back in registry order.
      bucket.More.clear();
      bucket.First = nullptr;
      for (Node* n : registry) {
        if (n->Name() == node->Name()) Append(bucket, n);
      }
    }
  }

  /// Removes node from under name. A node not found there (its Name was
  /// assigned behind the graph's back) is looked for under every name, so
  /// that the index never keeps a deleted node.
  void Remove(Node* node, const std::string& name) {
    if (RemoveFrom(buckets_.find(name), node)) return;
    for (auto at = buckets_.begin(); at != buckets_.end(); ++at) {
      if (RemoveFrom(at, node)) return;
    }
  }

  void Clear() { buckets_.clear(); }
  void Swap(NameIndex& other) { buckets_.swap(other.buckets_); }

  /// Whether the index holds exactly the nodes of registry, each under its
  /// Name, in registry order.
  bool Matches(const std::vector<Node*>& registry) const {
    NameIndex<Node> fresh;
    for (Node* n : registry) Append(fresh.buckets_[n->Name()], n);
    return fresh.buckets_ == buckets_;
  }

 private:
  struct Bucket {
    Node* First = nullptr;
    std::vector<Node*> More;  ///< the other nodes of the name (rare)
    bool operator==(const Bucket&) const = default;
  };
  using Buckets = std::unordered_map<std::string, Bucket>;

  static void Append(Bucket& bucket, Node* node) {
    if (bucket.First) {
      bucket.More.push_back(node);
    } else {
      bucket.First = node;
    }
  }

  bool RemoveFrom(typename Buckets::iterator at, Node* node) {
    if (at == buckets_.end()) return false;
    Bucket& bucket = at->second;
    if (bucket.First == node) {
      if (bucket.More.empty()) {
        buckets_.erase(at);
      } else {
        bucket.First = bucket.More.front();
        bucket.More.erase(bucket.More.begin());
      }
      return true;
    }
    for (size_t i = 0; i < bucket.More.size(); ++i) {
      if (bucket.More[i] == node) {
        bucket.More.erase(bucket.More.begin() + static_cast<std::ptrdiff_t>(i));
        return true;
      }
    }
    return false;
  }

  Buckets buckets_;
};

}  // namespace qv
