#include "images/MapImages.h"

namespace kelvarin {

void ExportHighResImage(WaterMap&, WindowOps&) {}
void ExportLowResImage(WaterMap&, WindowOps&) {}
void ImportHighResImage(WaterMap&, WindowOps&, QRandomGenerator&) {}
void ImportLowResImage(WaterMap&, WindowOps&, QRandomGenerator&) {}
int applyImportedPicture(WaterMap&, WindowOps&, Grid, const QImage&, QRandomGenerator&) {
    return 0;
}

} // namespace kelvarin
