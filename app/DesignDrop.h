// SPDX-License-Identifier: GPL-3.0-or-later
// Design files dropped onto the projects grid become new projects, as
// velkora-cli import makes them; the last one becomes the current project.
#pragma once

#include <QObject>

namespace velkora {

class DBGrid;
class ProjectStore;

class DesignDrop : public QObject {
  public:
    // Takes the drops of the grid's viewport; lives as long as the grid.
    DesignDrop(DBGrid* grid, ProjectStore& store);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ProjectStore& store_;
};

}  // namespace velkora
