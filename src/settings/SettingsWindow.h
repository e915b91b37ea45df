#pragma once
#include <cstdint>
#include <string>

// What the settings file is read from and applied to: the editor window and its record store.
// Declared here so that the settings code needs nothing of the window's toolkit.
class SettingsWindow {
 public:
  enum State : std::int32_t { Normal = 0, Minimized = 1, Maximized = 2 };

  virtual ~SettingsWindow() = default;

  // The record store's ranges and widths.
  virtual std::int32_t setRange(std::int32_t iRange, const std::string& sText) = 0;
  virtual std::string getSelRangeArrayStr(std::int32_t iRange) const = 0;
  virtual std::int32_t RangeSelected() const = 0;
  virtual void setRangeSelected(std::int32_t iRange) = 0;
  virtual void setAllDisplayWidths(const std::string& sText) = 0;
  virtual std::string getWidthArrayStr() const = 0;

  // The range buttons (1..6): the stored caption (Tag), the visible caption, which one is on.
  virtual bool HideNames() const = 0;
  virtual std::string rangeButtonTag(std::int32_t n) const = 0;
  virtual void setRangeButtonTag(std::int32_t n, const std::string& sText) = 0;
  virtual void setRangeButtonCaption(std::int32_t n, const std::string& sText) = 0;
  virtual void setRangeButtonOn(std::int32_t n) = 0;

  // The scroll-update check boxes 0 (horizontal) and 1 (vertical): 0 off, 1 on.
  virtual std::int32_t scrollUpdate(std::int32_t i) const = 0;
  virtual void setScrollUpdate(std::int32_t i, std::int32_t state) = 0;

  // Placement in twips: outer position and size.
  virtual State windowState() const = 0;
  virtual void setWindowState(State state) = 0;
  virtual double windowLeft() const = 0;
  virtual double windowTop() const = 0;
  virtual double windowWidth() const = 0;
  virtual double windowHeight() const = 0;
  virtual void setWindowLeft(double twips) = 0;
  virtual void setWindowTop(double twips) = 0;
  virtual void setWindowWidth(double twips) = 0;
  virtual void setWindowHeight(double twips) = 0;
};
