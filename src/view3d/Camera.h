#pragma once
// Camera state of the 3D view.

namespace trelvano {

struct Camera {
  double CamX = 0;     // metres, sideways shift applied after the rotations
  double CamY = 0;     // metres, shift along the viewing axis (towards the scene)
  double CamZ = 0;     // metres, vertical shift applied after the rotations
  double CamA = 0;     // degrees, azimuth; 0 looks north, 90 looks west
  double CamE = 20;    // degrees, elevation; 90 looks straight down
  double CamD = 2000;  // metres, eye distance in front of the projection plane; >= 1

  // The camera as every camera command leaves it: each value rounded to a
  // whole number (halves to even) and held in its range — CamZ -10000 …
  // 100000, CamD 1 … 3000000, the others the 32-bit integer range — then
  // the azimuth wrapped into 0 … 360 and the elevation into -360 … 360, in
  // steps of 360 (370 → 10, -30 → 330 and -400 → -40, 360 stays).
  // Throws "Ungültige Gleitkommaoperation" for a value that is no number.
  Camera settled() const;

  bool operator==(const Camera&) const = default;
};

}  // namespace trelvano
