#pragma once

#include <QDateTime>
#include <QString>

class ServiceContext;

// Limits of orders that keep one client from flooding the dispatchers, for the order
// pages and the mobile commands alike. Each gives the refusal item, or empty.

// A preliminary time further ahead than DOSTUP/MAX_DNIV_POPEREDNYOGO days from now.
QString FarPreliminaryItem(ServiceContext &context, const QDateTime &wanted, const QDateTime &now);

// SETKLIENT/CHAS_ZAKRITTYA_ZAM: minutes from an order's time to its planned closing.
int ClosingMinutes(ServiceContext &context);

// `cars` new orders of a coded client whose open orders (status 0, those the dispatchers
// took by phone too) would then pass DOSTUP/MAX_AKTYVNYH_ZAMOVLEN_KODOVANOGO. Reads the
// dispatchers' orders: under the service lock. Refuses nothing when they cannot be read.
QString TooManyOpenOrdersItem(ServiceContext &context, qint64 clientCode, int cars);
