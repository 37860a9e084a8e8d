// Text colours the device reports, kept readable: a colour is darkened just
// enough to stand 4.5:1 against the ground it is drawn on (lightened on a
// dark ground), so the phone keeps its look as far as that allows.

const MINIMUM = 4.5;

function luminance([r, g, b]) {
  const channel = (c) => {
    const v = c / 255;
    return v <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4;
  };
  return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b);
}

// The contrast ratio of two opaque colours ([r, g, b], 0...255).
export function contrastRatio(a, b) {
  const [hi, lo] = [luminance(a), luminance(b)].sort((x, y) => y - x);
  return (hi + 0.05) / (lo + 0.05);
}

// `colour` ([r, g, b, alpha], alpha 0...1) laid over `ground` ([r, g, b]),
// moved towards black (or white) until it reads at 4.5:1; [r, g, b].
export function readableColour(colour, ground) {
  const alpha = colour[3] ?? 1;
  const laid = [0, 1, 2].map((i) => colour[i] * alpha + ground[i] * (1 - alpha));
  const towards = luminance(ground) > 0.18 ? 0 : 255;
  for (let step = 0; step <= 100; ++step) {
    const k = step / 100;
    const c = laid.map((v) => Math.round(v + (towards - v) * k));
    if (contrastRatio(c, ground) >= MINIMUM + 0.05) return c;
  }
  return [towards, towards, towards];
}
