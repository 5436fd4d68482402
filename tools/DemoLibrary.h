#pragma once

#include "LibrarySeeder.h"

// A demonstration library for trying the program and for screenshots: a few dozen books with
// covers, files, ratings and shared authors, and a couple of web pages.
class DemoLibrary
{
public:
    static void seed(const LibrarySeeder& seeder);
};
