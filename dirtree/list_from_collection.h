#pragma once

// Turns a platform collection into a list of exactly Count() entries, filled
// in enumeration order. An enumeration that delivers more than Count() fails
// on the first extra element; one that delivers fewer leaves the remaining
// entries empty. Errors of Count() and of the enumeration pass through.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"

template <class T>
std::vector<std::shared_ptr<T>> ListFromCollection(platform::Collection<T>& collection) {
  const int32_t count = collection.Count();
  if (count == 0) return {};
  if (count < 0) throw platform::PlatformError(platform::kSubscriptOutOfRange);
  std::vector<std::shared_ptr<T>> list(static_cast<size_t>(count));
  const std::unique_ptr<platform::Enumerator<T>> enumerator = collection.Enumerate();
  std::shared_ptr<T> item;
  size_t index = 0;
  while (enumerator->Next(item)) {
    if (index == list.size()) throw platform::PlatformError(platform::kSubscriptOutOfRange);
    list[index++] = std::move(item);
  }
  return list;
}
