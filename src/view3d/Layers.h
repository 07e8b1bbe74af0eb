#pragma once

namespace trelvano {
// Check states of the items of the menu "Darstellung" (and the overlay item
// "Flugweg", which adds the red cursor line), read by the transform and the
// renderer.

struct Layers {
  bool FollowReplay = false;  // "Flugweg zentrieren": the replay moves the camera; not a layer
  bool Flugbahn = true;
  bool Schatten = true;
  bool NordPfeil = true;
  bool Gitter = true;
  bool Lot = true;
  bool Karte = false;            // also the georeferenced map on the terrain
  bool KarteVisible = false;     // the item appears once a pixel map is loaded …
  bool GeoKarteVisible = false;  // … or a georeferenced map
  bool VectorKarte = false;
  bool VectorKarteVisible = false;
  bool Startkoordinaten = true;
  bool Gelaende = true;  // "Gelände": the terrain surface, where terrain is loaded
  bool Flugweg = false;  // overlay item "Flugweg" checked: red line RangeStart -> CursorPoint

  bool operator==(const Layers&) const = default;

  // The pixel map is drawn (its cells, or its frame while dragging): "Karte"
  // is checked, unless the item is there for a georeferenced map alone.
  bool pixelMapShown() const { return Karte && (KarteVisible || !GeoKarteVisible); }
};

// The layer items of the menu "Darstellung" in menu order, by caption.
struct LayerItem {
  const char* caption;
  bool Layers::*item;
};
inline constexpr LayerItem kLayerItems[] = {
    {"Flugbahn", &Layers::Flugbahn},
    {"Schatten", &Layers::Schatten},
    {"NordPfeil", &Layers::NordPfeil},
    {"Gitter", &Layers::Gitter},
    {"Lot", &Layers::Lot},
    {"Karte", &Layers::Karte},
    {"Vektor-Karte", &Layers::VectorKarte},
    {"Startkoordinaten", &Layers::Startkoordinaten},
};

}  // namespace trelvano
