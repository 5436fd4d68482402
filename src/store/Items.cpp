#include "Items.h"

Items::Items(QObject* parent) : QObject(parent)
{
}

Items::~Items() = default;
