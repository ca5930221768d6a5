# Rules that build the maps archive(s) from assets/. Filled in with the asset tools.
