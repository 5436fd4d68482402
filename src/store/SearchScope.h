#pragma once

// What a search looks at: titles and descriptions (the usual search), every text of an item
// (authors, publisher, ISBNs, file names, address, the words of its note), or the words inside
// the books' files.
enum class SearchScope { TitlesAndDescriptions, Everything, InsideBooks };
