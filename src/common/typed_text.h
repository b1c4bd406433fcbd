#pragma once

#include <QString>

// Text a client typed into an order goes into the order's additional data, where the
// dispatchers and this service find a telephone's orders by the piece "тел.:[…]". Typed
// square brackets could plant such a piece for another telephone, and typed parentheses
// would end the extras' part early: both become angle brackets.

// Square brackets turned into angle brackets (flat, directions).
inline QString WithoutSquareBrackets(QString text)
{
    return text.replace(u'[', u'<').replace(u']', u'>');
}

// The extras of an order: square brackets and parentheses turned into angle brackets.
inline QString ExtrasText(QString text)
{
    return WithoutSquareBrackets(text.replace(u'(', u'<').replace(u')', u'>'));
}

inline bool HasSquareBrackets(const QString &text) { return text.contains(u'[') || text.contains(u']'); }
