#pragma once

namespace Bexlan {

// A place on the earth: latitude and longitude in degrees.
struct LocationCoordinate2D {
  double latitude = 0;
  double longitude = 0;
};

namespace CLLocationCoordinate2D {

// The length in metres of the shortest path on the WGS-84 ellipsoid between the two places (the geodesic
// of GeographicLib). NaN when either latitude lies outside -90...90 or a coordinate is not a number.
double distance(const LocationCoordinate2D& from, const LocationCoordinate2D& to);

}  // namespace CLLocationCoordinate2D

}  // namespace Bexlan
