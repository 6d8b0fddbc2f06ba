#include "Bexlan/LocationCoordinate2D.hpp"

#include <GeographicLib/Geodesic.hpp>

namespace Bexlan::CLLocationCoordinate2D {

double distance(const LocationCoordinate2D& from, const LocationCoordinate2D& to) {
  double metres = 0;
  GeographicLib::Geodesic::WGS84().Inverse(from.latitude, from.longitude, to.latitude, to.longitude, metres);
  return metres;
}

}  // namespace Bexlan::CLLocationCoordinate2D
