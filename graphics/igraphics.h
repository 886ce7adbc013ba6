// The editor engine, as far as the plug-in base drives it.
#pragma once

class IGraphics {
public:
  virtual ~IGraphics() = default;

  // Shows a parameter's value in the controls bound to it, without telling
  // the host.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // Readies the controls for their first drawing.
  virtual void PrepDraw() = 0;
  // Moves a control that has no parameter (a meter) from the audio thread.
  virtual void SetControlFromPlug(int controlIdx, double normalizedValue) = 0;
};
