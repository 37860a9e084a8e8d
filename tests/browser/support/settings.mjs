// Settings files as the Settings bundle writes them: the five region lists
// of catalogue names and the switches.

export const catalogue = [
  '00 Time', '01 QuietMode (DND)', '02 Airplane', '03 SignalStrength (Cellular)', '04 Carrier',
  '05 DataNetwork (WiFi)', '07 Battery', '08 BatteryPercent', '09 NotCharging', '10 BluetoothBattery',
  '11 Bluetooth', '12 TTY', '13 Alarm', '16 Location', '17 RotationLock', '19 AirPlay', '20 Siri',
  '21 CarPlay', '22 VPN', '23 CallForward', '24 Activity', '25 ThermalColor', '31 Tethering',
  '32 Breadcrumb', '33 OpenInSafari', '98 libstatusbar spacer 1', '99 libstatusbar spacer 2',
];

const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');

// regions: {left, center, right, hidden}: lists of catalogue names; every
// other name goes to default. switches: {name: boolean}.
export function settingsPlist({ left = [], center = [], right = [], hidden = [] } = {}, switches = {}) {
  const placed = new Set([...left, ...center, ...right, ...hidden]);
  const regions = { left, center, right, hidden, default: catalogue.filter((n) => !placed.has(n)) };
  const list = (names) => names.map((n) => `<string>${escape(n)}</string>`).join('');
  const allSwitches = { enabled: true, ...switches };
  return '<?xml version="1.0" encoding="UTF-8"?>\n' +
    '<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">\n' +
    '<plist version="1.0"><dict>' +
    Object.entries(regions).map(([key, names]) => `<key>${key}</key><dict><key>data</key><array>${list(names)}</array></dict>`).join('') +
    Object.entries(allSwitches).map(([key, on]) => `<key>${key}</key><${on ? 'true' : 'false'}/>`).join('') +
    '<key>schemaVersion</key><string>1.2</string>' +
    '</dict></plist>\n';
}
