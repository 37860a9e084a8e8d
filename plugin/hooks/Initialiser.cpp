// Placeholder until the initialiser lands.
