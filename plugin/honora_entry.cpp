// Entry point of the component server: the C function a host calls to
// create the class behind a ProgID. Filled in with the component.
