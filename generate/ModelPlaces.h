// SPDX-License-Identifier: GPL-3.0-or-later
// How a failure while making a model names the project and the element it
// happened in (Failure::Where), for every model and every caller.
#pragma once

#include <string>

#include "Failure.h"
#include "ModelSource.h"

namespace velkora {

// "project 7", or "no project" when there is no current project.
std::string ProjectPlace(const DbValue& idProject);

// "element "D1"", or by its ID when it has no name.
std::string ElementPlace(const ElementRow& element);

// Runs work(); a Failure leaving it is named with the element.
template <class Work>
decltype(auto) ForElement(const ElementRow& element, Work&& work) {
    try {
        return work();
    } catch (Failure& failure) {
        failure.AddWhere(ElementPlace(element));
        throw;
    }
}

}  // namespace velkora
