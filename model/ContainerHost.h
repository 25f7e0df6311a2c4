#pragma once
// What the model asks of the windows. The model declares these; the GUI implements them,
// tests use recording fakes. Every pointer to them may be null: the request is then dropped.
#include <string>

namespace qel {

class TPoolItem;

// A node of a navigator's tree view that shows an item.
class INavTreeNode {
public:
  virtual void SetText(const std::string& text) = 0;
  virtual void SetImageIndex(int image, int selectedImage) = 0;
  // Deletes the node from its tree view (the item was deleted).
  virtual void DeleteNode() = 0;

protected:
  ~INavTreeNode() = default;
};

// The progress bar a load advances.
class IProgressBar {
public:
  virtual void SetRange(int minimum, int maximum) = 0;
  virtual void SetPosition(int position) = 0;

protected:
  ~IProgressBar() = default;
};

// The main window's services the project calls.
class IContainerHost {
public:
  // A new or changed item for every navigator window.
  virtual void RefreshNavigators(TPoolItem* item) = 0;
  // A modal error box with an OK button, after which the work goes on.
  virtual void ShowErrorBox(const std::string& text) = 0;
  // A plain modal message.
  virtual void ShowMessage(const std::string& text) = 0;

protected:
  ~IContainerHost() = default;
};

} // namespace qel
