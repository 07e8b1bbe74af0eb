#pragma once

namespace trelvano {
// Camera state of the 3D view.

struct Camera {
  double CamX = 0;     // metres, sideways shift applied after the rotations
  double CamY = 0;     // metres, shift along the viewing axis (towards the scene)
  double CamZ = 0;     // metres, vertical shift applied after the rotations
  double CamA = 0;     // degrees, azimuth; 0 looks north, 90 looks west
  double CamE = 20;    // degrees, elevation; 90 looks straight down
  double CamD = 2000;  // metres, eye distance in front of the projection plane; >= 1

  bool operator==(const Camera&) const = default;
};

}  // namespace trelvano
