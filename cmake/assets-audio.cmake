# Rules that build the audio archive(s) from assets/. Filled in with the asset tools.
