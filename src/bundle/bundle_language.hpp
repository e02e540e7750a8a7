#pragma once

namespace orvel::bundle {

// The language family of a bundle or payload: some messages name it.
enum class BundleLanguage { Japanese, Chinese };

}  // namespace orvel::bundle
