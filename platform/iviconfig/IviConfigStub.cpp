// Filled in by the configuration store component.
