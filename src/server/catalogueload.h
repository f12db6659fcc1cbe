#pragma once

#include "data/dberror.h"

class ArticleList;
class ServerConnection;

// Loads an article list into the company catalogue, as the office: each code is added or its
// row replaced, as the list does on a laptop. An article whose values stay the same keeps its
// change stamp, so that the laptops do not bring it down again. The whole list is one
// transaction: the catalogue never shows half of it.
class CatalogueLoad
{
public:
    struct Outcome
    {
        int articles = 0; // read from the list and loaded
        int changed = 0; // added or with new values
    };

    static MaybeError load(ServerConnection &office, ArticleList &list, Outcome &outcome);
};
