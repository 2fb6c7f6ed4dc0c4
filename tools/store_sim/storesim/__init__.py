"""A local HTTPS stand-in for the store's web service, used by the demo and the tests."""
