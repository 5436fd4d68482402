#pragma once

#include <Qt>

// Data roles the cells of the item views (and of the import and look-up tables) carry, which
// other parts of the program read back.
namespace ItemRoles {
constexpr int FilePath = Qt::UserRole + 5; // 37
constexpr int Id = Qt::UserRole + 10;      // 42; the import table keeps the file's path here
constexpr int Url = Qt::UserRole + 15;     // 47
// Set on the cells of a deleted item, which stay hidden whatever a search finds.
constexpr int Removed = 101;
} // namespace ItemRoles
