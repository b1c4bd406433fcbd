#pragma once

class ServiceContext;

// Moves the advert on show to the next active, unexpired advert of TABLE_REKLAMA
// in row order, wrapping round to the first; with none, the advert on show stays.
// The new advert goes into URL_IMG, URL_SAIT and TEXT_REKLAMA of the settings.
// Called by every creation of a web main page, with the service lock held.
void AdvanceAdvert(ServiceContext &context);
