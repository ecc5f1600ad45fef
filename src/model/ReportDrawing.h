// What the model report needs of the run's drawing: the distortion and error arrows of the common
// and excluded points, and the end of the drawing once the report is complete. The model-building
// drawing implements it; the model layer knows nothing else of it.
#pragma once

namespace velmora {

class ReportDrawing {
public:
    virtual ~ReportDrawing() = default;

    // An arrow of the vector (dE, dN) from (x, y), drawn 1.5 * scale times its length. The letter
    // picks the layer: 'H' DISTORSIUNIH, 'R' DISTORSIUNIR, 'I' RARITEH, 'J' RARITER.
    virtual void DxfArrow(char letter, double scale, double dE, double dN, double x, double y) = 0;
    // Ends the drawing; later calls write nothing.
    virtual void WriteDxfEnd() = 0;

protected:
    ReportDrawing() = default;
    ReportDrawing(const ReportDrawing&) = default;
    ReportDrawing& operator=(const ReportDrawing&) = default;
};

} // namespace velmora
