#pragma once

#include <QList>
#include <QString>

#include "model/product.h"

// One node of the navigation tree and the window it opens.
struct NavNode {
    QString key;         // unique, fixed
    QString caption;     // Spanish text as written
    bool translated = false;
    QString parent;      // empty for the root
    QString window;      // window opened by a click; empty for a branch that opens nothing
    int index = -1;      // channel given to ChangeIndex; -1: the window is only shown
};

// The nodes in the order they are added to the tree; channel counts come from limits.
QList<NavNode> navigationNodes(const ProductLimits &limits);
