#pragma once

// A collection whose elements live in one vector inside it: each element
// handed out, and each enumerator, shares ownership of the whole collection,
// so a listing of any size costs one block instead of one allocation per
// entry, and an enumerator may outlive the caller's reference.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/file_system.h"

namespace platform::posix {

template <class Interface, class Item>
class ItemCollection : public Collection<Interface>,
                       public std::enable_shared_from_this<ItemCollection<Interface, Item>> {
 public:
  int32_t Count() override { return static_cast<int32_t>(items_.size()); }

  std::unique_ptr<Enumerator<Interface>> Enumerate() override {
    return std::make_unique<ItemEnumerator>(this->shared_from_this());
  }

 protected:
  std::vector<Item> items_;

 private:
  class ItemEnumerator final : public Enumerator<Interface> {
   public:
    explicit ItemEnumerator(std::shared_ptr<ItemCollection> owner) : owner_(std::move(owner)) {}

    bool Next(std::shared_ptr<Interface>& item) override {
      if (next_ >= owner_->items_.size()) return false;
      item = std::shared_ptr<Interface>(owner_, &owner_->items_[next_++]);
      return true;
    }

   private:
    std::shared_ptr<ItemCollection> owner_;
    size_t next_ = 0;
  };
};

}  // namespace platform::posix
