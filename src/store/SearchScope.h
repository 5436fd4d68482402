#pragma once

// What a search looks at: titles and descriptions (the usual search), or every text of an item
// (authors, publisher, ISBNs, file names, address, the words of its note).
enum class SearchScope { TitlesAndDescriptions, Everything };
