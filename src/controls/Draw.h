#pragma once

// The curve editor: a piecewise-linear curve of up to 361 points in real units, shown in a
// view with axes, point squares and a measuring crosshair, edited with the mouse, a popup
// menu and the owner's keys, zoomed around the crosshair.
//
// TCustomDraw holds the curve, the view and every rule of editing and of the picture;
// TDraw shows it and forwards the mouse. The picture is drawn whole from this state at
// every paint; the curve, the squares and the crosshair are drawn in the not-xor mode.

#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

#include "controls/Canvas.h"
#include "controls/Courbe.h"
#include "controls/PopupMenu.h"
#include "model/Format.h"
#include "runtime/Events.h"
#include "runtime/Langue.h"

enum class TBackgroundShape { stRegangle };
enum class TMouseButton { Left, Right, Middle };

struct TShiftState {
  bool Shift = false;
  bool Alt = false;
  bool Ctrl = false;
  bool Double = false;  // the second press of a double click
};

struct TRealPoint {
  float X = 0.0f;
  float Y = 0.0f;
  bool operator==(const TRealPoint&) const = default;
};

struct TPixel {
  int X = 0;
  int Y = 0;
  bool operator==(const TPixel&) const = default;
};

// Nearest integer, halves to even; values beyond the integer range saturate, a NaN gives 0.
int RoundPixel(long double v);

// Cohen-Sutherland clipping of integer lines to a window, drawing on a canvas.
class TClipper {
public:
  TClipper(TCanvas& canvas, int left, int top, int right, int bottom);

  int OutCode(std::int64_t x, std::int64_t y) const;
  void ClipMoveTo(std::int64_t x, std::int64_t y);
  // Draws the part of the line from the pen position that lies in the window; the pen
  // position becomes (x, y) in any case.
  void ClipLineTo(std::int64_t x, std::int64_t y);
  // The line from the pen position to the target, cut to the window; false when none of
  // it lies inside.
  bool ClipSegment(std::int64_t& x0, std::int64_t& y0, std::int64_t& x1, std::int64_t& y1) const;

private:
  TCanvas& canvas_;
  int left_, top_, right_, bottom_;
  std::int64_t penX_ = 0, penY_ = 0;
};

class TCustomDraw : public TObject {
public:
  static constexpr int PointCount = 361;
  using TPoints = std::array<TRealPoint, PointCount>;
  using TPixels = std::array<TPixel, PointCount>;

  explicit TCustomDraw(TLangue langue);

  // Properties; each write of a different value repaints.
  TBackgroundShape Shape() const { return shape_; }
  void SetShape(TBackgroundShape shape);
  float Xmax() const { return xmax_; }
  void SetXmax(float v);
  float Xmin() const { return xmin_; }
  void SetXmin(float v);
  float Ymax() const { return ymax_; }
  void SetYmax(float v);
  float Ymin() const { return ymin_; }
  void SetYmin(float v);
  // Point squares are drawn and points can be picked with the mouse.
  bool Clip() const { return clip_; }
  void SetClip(bool clip);
  // The point limit of InsertPoint; 360 or more is stored as 359.
  int NbMaxSegment() const { return nbMaxSegment_; }
  void SetNbMaxSegment(int n);

  TNotifyEvent OnChange;  // the points, the selection or the view changed
  TNotifyEvent OnSelect;  // a point was picked with the mouse
  TNotifyEvent OnZoom;    // the zoom level changed

  // The control's size in pixels.
  virtual int Width() const { return width_; }
  virtual int Height() const { return height_; }
  void SetSize(int width, int height);

  // The curve. Loaders write Points and LastIndex and then call UpdateCurve; a LastIndex
  // above 360 is taken as 360, and one below 1 leaves a curve that cannot be edited.
  TPoints Points{};
  int LastIndex = 1;
  int Selected = -1;
  TPixels Pixels{};
  TPoints SnapshotPoints{};
  int SnapshotLastIndex = 1;

  // The view, as of the last RecalcPixels and Paint.
  float XRange = 0.0f;
  float YRange = 0.0f;
  int AxisPx = 0;
  int AxisPy = 0;
  TPixel LastClick;
  float CrossX = 0.0f;
  float CrossY = 0.0f;
  TPixel CursorPx;
  int SegIndex = 0;

  // A mouse gesture in progress.
  int DragIndex = -1;
  int MovedIndex = -1;
  int CrosshairGrab = 0;

  bool Bezier = false;
  int ZoomLevel = 0;
  int ZoomMin = -1;
  int ZoomMax = 3;

  TCourbe Curve;
  // The control's own pen (the curve) and brush (the background).
  TPen Pen;
  TBrush Brush;
  // Decimal separator of the read-outs.
  TFormatSettings FormatSettings;
  TBeepHook Beep;

  TPopupMenu& Menu() { return menu_; }
  TMenuItem& ZoomItem(int i) { return menu_.Items(0).Items(i); }  // 0 "1:1", 1 "Center", 2 "In", 3 "Out"
  TMenuItem& DeleteItem() { return menu_.Items(1); }
  TMenuItem& InsertItem() { return menu_.Items(2); }

  // Mapping between real values and pixels.
  TPixel RealToScreen(float x, float y) const;  // each coordinate clamped to -5000..5000
  int ToPixelX(long double x) const;
  int ToPixelY(long double y) const;
  float ToRealX(long double px) const;
  float ToRealY(long double py) const;

  void RecalcPixels();
  void Snapshot();
  void UpdateCurve();
  void CancelEdit();
  // Keeps a pixel position of the selected point between its neighbours' columns and
  // inside the view; false when it had to change it or no point is selected.
  bool ClampPoint(int& px, int& py) const;
  void InsertPoint(int index);
  void DeletePoint(int index);
  void MenuInsertSegment();
  void MenuDeleteSegment();
  float Evaluate(float x);
  float QuadX(int j, double t) const;
  float QuadY(int j, double t) const;
  void SetCursorPx(int px);
  void SetMeasure(float x);

  void ZoomIn();
  void ZoomOut();
  void ZoomCenter();
  void ZoomReset();

  void HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void HandleMouseMove(TShiftState shift, int x, int y);
  void HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y);

  // The three lines of the read-out at the top left, empty when none is shown.
  const std::array<std::string, 3>& Readout() const { return readout_; }

  // Draws the whole picture.
  void Paint(TCanvas& canvas);

protected:
  // The picture changed.
  virtual void Invalidate() {}
  // Opens the menu at a position of the control.
  virtual void PopupMenuAt(int x, int y);

private:
  int Last() const;  // LastIndex within the table
  bool IsPoint(int index) const { return index >= 0 && index <= Last(); }
  void RemoveAt(int index);
  void OpenSlot(int index);
  void Repaint();
  void ShowPointReadout();
  void ShowCursorReadout();
  void DrawCurve(TCanvas& canvas, TClipper& clipper) const;
  void DrawCrosshair(TCanvas& canvas, TClipper& clipper) const;
  void PanToCursor();
  void ViewAroundCrosshair(long double halfX, long double halfY);
  void DoBeep() const;
  void SetBound(float& field, float v);

  TPopupMenu menu_;
  TBackgroundShape shape_ = TBackgroundShape::stRegangle;
  float xmax_ = 110.0f, xmin_ = -25.0f, ymax_ = 110.0f, ymin_ = -25.0f;
  bool clip_ = false;
  int nbMaxSegment_ = 0;
  int width_ = 0;
  int height_ = 0;
  int clipRight_ = 0;
  int clipBottom_ = 0;
  TLangue langue_;
  std::array<std::string, 3> readout_;
};

class TDraw : public QWidget, public TCustomDraw {
  Q_OBJECT

public:
  TDraw(TLangue langue, QWidget* parent = nullptr);

  TMenuPresenter MenuPresenter;

protected:
  int Width() const override { return width(); }
  int Height() const override { return height(); }
  void Invalidate() override { update(); }
  void PopupMenuAt(int x, int y) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};
