# Rules that build the gfx archive(s) from assets/. Filled in with the asset tools.
